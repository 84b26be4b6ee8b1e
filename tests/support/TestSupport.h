// Fixtures shared by the tests: temporary folders, files, child processes and window lookup.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

namespace kivtest {

// A fresh folder below the temp folder, removed with everything in it on destruction.
class TempDir {
public:
    explicit TempDir(const std::string& hint = "kiv");
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();
    const std::string& Path() const { return path; }
    std::string operator/(const std::string& name) const { return path + "\\" + name; }

private:
    std::string path;
};

void RemoveTree(const std::string& path);
void WriteTextFile(const std::string& path, const std::string& content);
std::string ReadTextFile(const std::string& path);
bool Exists(const std::string& path);
void MakeDir(const std::string& path);

// A program built beside the running test executable.
std::string BuiltProgram(const char* fileName);

class ChildProcess {
public:
    ChildProcess(const std::string& commandLine, const std::string& directory);
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess(); // kills the process if it still runs
    // Exit code, or STILL_ACTIVE when it did not end within the time.
    DWORD Wait(DWORD milliseconds);
    DWORD Id() const { return info.dwProcessId; }
    HANDLE Handle() const { return info.hProcess; }
    bool Running() const;
    void Kill();

private:
    PROCESS_INFORMATION info{};
};

struct WindowInfo {
    HWND handle;
    std::string className;
    std::string title;
    RECT rect;
    bool visible;
};

std::vector<WindowInfo> TopLevelWindows(DWORD processId);
// Waits until the process shows a top-level window with this title; null on time-out.
HWND WaitForWindow(DWORD processId, const std::string& title, DWORD milliseconds);

// Asks done every 50 ms until it answers true (true) or the time is up (false).
bool WaitFor(const std::function<bool()>& done, DWORD milliseconds);
// The static text of a message box.
std::string MessageBoxText(HWND box);
// Presses the box's default button and waits for the box to go.
bool CloseMessageBox(HWND box, DWORD milliseconds = 5000);

// A dropped-file list as the system hands it over: a DROPFILES header followed by the names in an
// HGLOBAL. The names are given in the ANSI code page; wide stores them as UTF-16. The caller owns
// the handle (DragFinish or GlobalFree).
HDROP MakeDropHandle(const std::vector<std::string>& names, POINT point, bool wide = false);

// The message of the exception of type E that action throws, or "(nothing thrown)".
template <class E, class Action> std::string ThrownMessage(Action&& action) {
    try {
        action();
    } catch (const E& e) {
        return e.what();
    }
    return "(nothing thrown)";
}

// OLE for a whole test program, as the start-up brings it up before any shell object is used.
// Register once per program: ::testing::AddGlobalTestEnvironment(new kivtest::OleEnvironment).
class OleEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }
};

} // namespace kivtest
