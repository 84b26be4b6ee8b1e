// Kiv with its top windows kept shown: the same program, whose frame shows every top window after
// each idle pass. For pictures of the windows and for reading their painted cells back; only the
// test build has it.
#include <windows.h>
#include <cstdlib>
#include <memory>

#include "KivFrameWindow.h"
#include "Startup.h"

namespace {

class ShowingFrame : public KivFrameWindow {
public:
    using KivFrameWindow::KivFrameWindow;
    int OnIdle() override {
        KivFrameWindow::OnIdle();
        if (!GetHandle() || !IsWindow(GetHandle()))
            return 0;
        for (const auto& topWindow : GetTopWindows()) {
            if (topWindow->GetHandle() && topWindow->GetPopState() != KivTopWindow::Shown)
                topWindow->Show(false);
        }
        return 0;
    }
};

std::unique_ptr<KivFrameWindow> MakeShowingFrame(NApp* app, HANDLE closeEvent,
                                                 const char* dataDirectory) {
    return std::make_unique<ShowingFrame>(app, closeEvent, dataDirectory);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    KivMain(instance, __argc, __argv, &MakeShowingFrame);
    return 0;
}
