// A thread that watches for message boxes of the test's own process, records their texts and
// titles and presses their OK buttons.
#pragma once
#include <windows.h>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "TestSupport.h"

// Watches for message boxes of this process, records their text and title and presses OK.
class BoxCloser {
public:
    BoxCloser() : worker([this] { Run(); }) {}
    ~BoxCloser() {
        stop = true;
        worker.join();
    }
    std::vector<std::pair<std::string, std::string>> Boxes() {
        std::lock_guard<std::mutex> lock(mutex);
        return boxes;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex);
        boxes.clear();
    }

private:
    // Only boxes are asked for their texts: a window of the test's own thread would have to
    // answer, and that thread may be waiting for this one.
    static BOOL CALLBACK Collect(HWND window, LPARAM param) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        char className[64];
        GetClassNameA(window, className, sizeof(className));
        if (process == GetCurrentProcessId() && std::string(className) == "#32770" &&
            IsWindowVisible(window))
            reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
        return TRUE;
    }
    void Run() {
        while (!stop) {
            std::vector<HWND> found;
            EnumWindows(Collect, reinterpret_cast<LPARAM>(&found));
            for (HWND box : found) {
                char title[256] = "";
                GetWindowTextA(box, title, sizeof(title));
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    boxes.emplace_back(kivtest::MessageBoxText(box), title);
                }
                kivtest::CloseMessageBox(box);
            }
            Sleep(20);
        }
    }
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::vector<std::pair<std::string, std::string>> boxes;
    std::thread worker;
};
