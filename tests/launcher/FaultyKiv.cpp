// A test build of Kiv whose frame throws on request, so that a test can watch the start-up's
// guard report it. The first argument stays Kiv's own switch; the second names the fault:
//   idle-std / idle-other: OnDestroy throws when the close request destroys the frame from the
//                          idle work (a std::runtime_error, or a value of another type);
//   last-std / last-other: the frame posts WM_QUIT and throws while it handles FaultMessage,
//                          which the test sends from its own process.
// The frame object writes "FrameGone.txt" into the working directory when it is destroyed.
#include <windows.h>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

#include "KivFrameWindow.h"
#include "Startup.h"

namespace {

const UINT FaultMessage = WM_APP + 77;

std::string fault;

[[noreturn]] void Throw(const char* where) {
    if (fault.ends_with("-std"))
        throw std::runtime_error(std::string("Error FaultyFrame::") + where);
    throw 77;
}

class FaultyFrame : public KivFrameWindow {
public:
    using KivFrameWindow::KivFrameWindow;

    ~FaultyFrame() override {
        // Tell the test that the frame object is gone before any box appears.
        HANDLE file = CreateFileA("FrameGone.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }

    void OnDestroy() override {
        if (fault.starts_with("idle-"))
            Throw("OnDestroy");
        KivFrameWindow::OnDestroy();
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == FaultMessage && fault.starts_with("last-")) {
            PostQuitMessage(0);
            Throw("WindowProc");
        }
        return KivFrameWindow::WindowProc(message, wParam, lParam);
    }
};

std::unique_ptr<KivFrameWindow> MakeFaultyFrame(NApp* app, HANDLE closeEvent,
                                                const char* dataDirectory) {
    return std::make_unique<FaultyFrame>(app, closeEvent, dataDirectory);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc > 2)
        fault = __argv[2];
    KivMain(instance, __argc, __argv, MakeFaultyFrame);
    return 0;
}
