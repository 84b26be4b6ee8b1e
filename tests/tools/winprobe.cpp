// Lists the top-level windows, one per line: handle, class, visibility, rectangle, title (UTF-8).
// Usage: winprobe [title-substring]
#include <windows.h>
#include <cstdio>
#include <cstring>
#include <string>

namespace {
std::string ToUtf8(const char* text) {
    wchar_t wide[1024];
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 1024);
    char utf8[4096];
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof(utf8), nullptr, nullptr);
    return utf8;
}

BOOL CALLBACK PrintWindow(HWND window, LPARAM filter) {
    char title[1024], className[256];
    GetWindowTextA(window, title, sizeof(title));
    GetClassNameA(window, className, sizeof(className));
    const char* wanted = reinterpret_cast<const char*>(filter);
    const std::string utf8Title = ToUtf8(title);
    if (wanted && !std::strstr(utf8Title.c_str(), wanted))
        return TRUE;
    RECT r;
    GetWindowRect(window, &r);
    std::printf("%p\t%s\t%s\t%ld,%ld,%ld,%ld\t%s\n", static_cast<void*>(window), className,
                IsWindowVisible(window) ? "visible" : "hidden", r.left, r.top, r.right, r.bottom,
                utf8Title.c_str());
    return TRUE;
}
} // namespace

int main(int argc, char** argv) {
    EnumWindows(PrintWindow, reinterpret_cast<LPARAM>(argc > 1 ? argv[1] : nullptr));
    return 0;
}
