// KivAbout.kxe: the version box of the "バージョン情報" command. Started with the switch it shows
// the program's name, its version (read from its own version resource) and icon, and ends when
// the box is closed; started any other way it shows nothing.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

const char aboutSwitch[] = "/SyjFetpu9861";

// "major.minor.patch" of the module's fixed version information, with ".build" when not zero;
// empty when the module has none.
std::string ReadModuleVersion(HMODULE module) {
    char path[MAX_PATH];
    if (!GetModuleFileNameA(module, path, sizeof(path)))
        return "";
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0)
        return "";
    std::unique_ptr<char[]> data(new char[size]);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!GetFileVersionInfoA(path, 0, size, data.get()) ||
        !VerQueryValueA(data.get(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) ||
        fixedSize < sizeof(VS_FIXEDFILEINFO))
        return "";
    char text[64];
    std::snprintf(text, sizeof(text), "%u.%u.%u", unsigned{HIWORD(fixed->dwFileVersionMS)},
                  unsigned{LOWORD(fixed->dwFileVersionMS)},
                  unsigned{HIWORD(fixed->dwFileVersionLS)});
    std::string version = text;
    if (LOWORD(fixed->dwFileVersionLS) != 0)
        version += "." + std::to_string(LOWORD(fixed->dwFileVersionLS));
    return version;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc != 2 || std::strcmp(__argv[1], aboutSwitch) != 0)
        return 0;
    const std::string text = "KIV デスクトップランチャー\n"
                             "バージョン " +
                             ReadModuleVersion(nullptr) +
                             "\n\n"
                             "フォルダの中身を画面の端の\n"
                             "アイコンウィンドウに並べます。";
    MSGBOXPARAMSA box{};
    box.cbSize = sizeof(box);
    box.hInstance = instance;
    box.lpszText = text.c_str();
    box.lpszCaption = "KIV - バージョン情報";
    box.dwStyle = MB_OK | MB_USERICON | MB_SETFOREGROUND;
    box.lpszIcon = "MAINICON";
    box.dwLanguageId = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
    MessageBoxIndirectA(&box);
    return 0;
}
