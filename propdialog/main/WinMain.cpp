// KivProp: the window-property dialog of one folder, started by Kiv with
//   KivProp.kxe /QpuvaoTgduauaz5579 <data directory> <record key> <caption name>
// Any other command line shows nothing. The exit code is always 0.
#include <windows.h>
#include <commctrl.h>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "KivProperty.h"
#include "PropertyLogic.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const std::vector<std::string> arguments(__argv + (__argc > 0 ? 1 : 0), __argv + __argc);
    const PropCommandLine line = ParsePropCommandLine(arguments);
    if (!line.valid)
        return 0;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    forms::Application application(instance);
    application.icon = LoadIconA(instance, "MAINICON");
    application.title = "KIV - プロパティ";
    try {
        TFormWinProperty dialog(application, line.dataDirectory, line.folderKey, line.captionName);
        dialog.ShowModal();
    } catch (const std::exception& e) {
        MessageBoxA(nullptr, e.what(), application.title.c_str(), MB_OK | MB_ICONERROR);
    }
    return 0;
}
