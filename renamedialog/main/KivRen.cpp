// KivRen.kxe: the rename dialog program. Started by Kiv with the switch, the data directory and
// the full path of one item; any other command line ends it at once with exit code -1.
#include <windows.h>
#include <ole2.h>

#include <exception>

#include "KivRename.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const auto arguments = ParseRenameArguments(CommandLineArguments(GetCommandLineW()));
    if (!arguments)
        return -1;
    // The settings store and the attribute query parse paths with the shell.
    const HRESULT ole = OleInitialize(nullptr);
    forms::Application application(instance);
    application.icon = LoadIconA(instance, "MAINICON");
    application.title = RenameApplicationTitle;
    try {
        TFormRename form(application, *arguments);
        form.ShowModal();
    } catch (const std::exception& e) {
        MessageBoxA(nullptr, e.what(), application.title.c_str(), MB_OK | MB_ICONSTOP);
    }
    if (SUCCEEDED(ole))
        OleUninitialize();
    return 0;
}
