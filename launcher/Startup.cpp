#include "Startup.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <ole2.h>

#include "DebugMode.h"
#include "KivFrameWindow.h"
#include "NApp.h"
#include "PathUtility.h"

namespace {
const int maxWorkingDirectory = 129;
const char eventPrefix[] = "KivEvent{CAABE7BE-B1E5-4B1F-8553-4C96999EC5DF}";

// The named event of the instance: closed once, on every way out of the start-up.
class OwnedHandle {
public:
    explicit OwnedHandle(HANDLE handle) : handle(handle) {}
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    ~OwnedHandle() {
        if (handle)
            CloseHandle(handle);
    }
    HANDLE Get() const { return handle; }

private:
    HANDLE handle;
};

std::unique_ptr<KivFrameWindow> MakeFrame(NApp* app, HANDLE closeEvent, const char* directory) {
    return std::make_unique<KivFrameWindow>(app, closeEvent, directory);
}
} // namespace

StartSwitch ParseStartSwitch(int argc, char** argv) {
    if (argc < 2 || !argv[1])
        return StartSwitch::None;
    if (std::strcmp(argv[1], "/CloseKiv") == 0)
        return StartSwitch::CloseKiv;
    if (std::strcmp(argv[1], "/ExitsNoError") == 0)
        return StartSwitch::ExitsNoError;
    if (std::strcmp(argv[1], "/DebugMode") == 0)
        return StartSwitch::DebugMode;
    return StartSwitch::None;
}

std::string MakeEventName(const char* workingDirectory) {
    std::string name = std::string(eventPrefix) + workingDirectory;
    // Byte-wise on purpose: the name only has to be the same for the same directory text.
    for (char& c : name) {
        if (c == '\\')
            c = '*';
    }
    return name;
}

std::string MakeDataDirectoryPath(const char* workingDirectory) {
    return std::string(workingDirectory) + "\\IconData";
}

int KivMain(HINSTANCE instance, int argc, char** argv, FrameFactory makeFrame) {
    if (!makeFrame)
        makeFrame = MakeFrame;
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const StartSwitch startSwitch = ParseStartSwitch(argc, argv);

    char workingDirectory[maxWorkingDirectory + 1];
    const DWORD length = GetCurrentDirectoryA(sizeof(workingDirectory), workingDirectory);
    if (length == 0 || length > maxWorkingDirectory) {
        char text[200];
        std::snprintf(text, sizeof(text), "作業フォルダの長さを%d文字以下にしてください",
                      maxWorkingDirectory);
        MessageBoxA(nullptr, text, "KIV - 作業フォルダが長すぎます", MB_ICONWARNING);
        return 0;
    }

    if (startSwitch == StartSwitch::DebugMode)
        debugMode.Open(workingDirectory);

    const std::string eventName = MakeEventName(workingDirectory);
    const OwnedHandle event(CreateEventA(nullptr, FALSE, FALSE, eventName.c_str()));
    const DWORD eventError = GetLastError();
    if (!event.Get()) {
        MessageBoxA(nullptr, "内部エラーです", "KIV", MB_OK);
        return 0;
    }

    if (startSwitch == StartSwitch::CloseKiv) {
        SetEvent(event.Get());
        return 0;
    }

    if (eventError == ERROR_ALREADY_EXISTS) {
        if (startSwitch != StartSwitch::ExitsNoError)
            MessageBoxA(nullptr, "複数起動をすることはできません", "KIV - 既に起動しています",
                        MB_ICONWARNING);
        return 0;
    }

    const std::string dataDirectory = MakeDataDirectoryPath(workingDirectory);
    if (GetPathType(dataDirectory.c_str()) != PathFolder) {
        if (!CreateDirectoryA(dataDirectory.c_str(), nullptr)) {
            MessageBoxA(nullptr, "データディレクトリを作成できませんでした", "Kiv", MB_OK);
            return 0;
        }
        // First start here: offer the help. A missing help file must not stop the program.
        try {
            KivWinHelp(nullptr, HELP_CONTEXT, 9);
        } catch (const KivUtilityException&) {
        }
    }

    OleInitialize(nullptr);

    // Everything built here is destroyed before a box reports what escaped.
    std::string failure;
    bool failed = false;
    try {
        NApp app(instance);
        const std::unique_ptr<KivFrameWindow> frame =
            makeFrame(&app, event.Get(), dataDirectory.c_str());
        frame->CreateWindow();
        app.mainWindow = frame.get();
        app.Run();
        app.mainWindow = nullptr;
    } catch (const std::exception& e) {
        failed = true;
        failure = e.what();
    } catch (...) {
        failed = true;
        failure = "内部エラーです";
    }
    if (failed) {
        // Destroying the frame posted WM_QUIT; left in the queue it would close the box at once.
        MSG quit;
        while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        MessageBoxA(nullptr, failure.c_str(), "KIV - 未処理の例外", MB_ICONWARNING);
    }

    OleUninitialize();
    return 0; // the event is closed last, on the way out
}
