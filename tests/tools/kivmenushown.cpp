// Kiv with its first top window kept shown and its context menu opened once, as a right-button
// release over the window would open it: for pictures of the menu. The item index comes from the
// environment variable KIV_MENU_INDEX (none: the background menu). Only the test build has it.
#include <windows.h>
#include <cstdlib>
#include <memory>

#include "KivFrameWindow.h"
#include "Startup.h"

namespace {

class MenuFrame : public KivFrameWindow {
public:
    using KivFrameWindow::KivFrameWindow;
    int OnIdle() override {
        KivFrameWindow::OnIdle();
        if (opened || !GetHandle() || !IsWindow(GetHandle()) || GetTopWindows().empty())
            return 0;
        KivTopWindow& top = *GetTopWindows().front();
        if (!top.GetHandle())
            return 0;
        // Shown and opened in one go: the next poll would hide it again.
        if (top.GetPopState() != KivTopWindow::Shown)
            top.Show(false);
        opened = true;
        const char* index = std::getenv("KIV_MENU_INDEX");
        const int item = index ? std::atoi(index) : -1;
        POINT at{8, 8};
        if (item >= 0 && item < static_cast<int>(top.GetItems().size()))
            at = POINT{top.GetItems()[item].x + 4, top.GetItems()[item].y + 4};
        top.OnItemRButtonUp(0, at, item);
        return 0;
    }

private:
    bool opened = false;
};

std::unique_ptr<KivFrameWindow> MakeMenuFrame(NApp* app, HANDLE closeEvent,
                                              const char* dataDirectory) {
    return std::make_unique<MenuFrame>(app, closeEvent, dataDirectory);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    KivMain(instance, __argc, __argv, &MakeMenuFrame);
    return 0;
}
