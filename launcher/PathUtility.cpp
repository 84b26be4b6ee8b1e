#include "PathUtility.h"

#include <htmlhelp.h>

#include <cstring>
#include <memory>

int GetPathType(const char* path) {
    const size_t length = std::strlen(path);
    if (length <= 2)
        return PathMissing;
    WIN32_FIND_DATAA found;
    if (length == 3) {
        std::string pattern = std::string(path) + "*.*";
        HANDLE search = FindFirstFileA(pattern.c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return PathMissing;
        FindClose(search);
        return PathFolder;
    }
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return PathMissing;
    FindClose(search);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? PathFolder : PathFile;
}

const char* FindLastBackslash(const char* text) {
    const char* last = nullptr;
    for (const char* p = text; *p; p = CharNextExA(932, p, 0)) {
        if (*p == '\\')
            last = p;
    }
    return last;
}

namespace {
DWORD RunningModuleFileName(char* buffer, DWORD size) {
    return GetModuleFileNameA(nullptr, buffer, size);
}
} // namespace

std::string KivGetFullPathName(const char* fileName) {
    return KivGetFullPathName(fileName, RunningModuleFileName);
}

std::string KivGetFullPathName(const char* fileName, ModuleFileNameSource source) {
    const DWORD nameLength = static_cast<DWORD>(std::strlen(fileName));
    DWORD size = 260;
    for (;;) {
        std::unique_ptr<char[]> buffer(new char[size]);
        const DWORD r = source(buffer.get(), size);
        if (r == 0)
            throw KivUtilityException("KivGetFullPathName:1");
        if (static_cast<size_t>(r) + nameLength >= size) {
            size *= 2;
            continue;
        }
        const char* slash = FindLastBackslash(buffer.get());
        if (!slash)
            throw KivUtilityException("KivGetFullPathName:2");
        return std::string(const_cast<const char*>(buffer.get()), slash + 1) + fileName;
    }
}

const char* HelpContextPage(ULONG_PTR context) {
    static const struct {
        ULONG_PTR context;
        const char* page;
    } pages[] = {
        {9, "start.html"},         // first steps, shown at the first start
        {6, "prop-icon.html"},     // property pages: アイコン
        {2, "prop-layout.html"},   // レイアウト
        {37, "prop-window.html"},  // ウィンドウの表示
        {5, "prop-filelist.html"}, // ファイルリスト
        {38, "prop-other.html"},   // その他
    };
    for (const auto& entry : pages) {
        if (entry.context == context)
            return entry.page;
    }
    return nullptr;
}

namespace {

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

// The viewer's entry point, loaded once: its windows live on in this process, so the library
// stays loaded to the end.
HtmlHelpFunction LoadHtmlHelp() {
    static HtmlHelpFunction htmlHelp = nullptr;
    if (!htmlHelp) {
        if (HMODULE viewer = LoadLibraryA("hhctrl.ocx"))
            htmlHelp = reinterpret_cast<HtmlHelpFunction>(
                reinterpret_cast<void (*)()>(GetProcAddress(viewer, "HtmlHelpA")));
    }
    return htmlHelp;
}

void ShowCompiledHelp(HWND owner, UINT command, ULONG_PTR data, const std::string& file) {
    std::string target = file;
    UINT viewerCommand;
    switch (command) {
    case HELP_CONTEXT: {
        const char* page = HelpContextPage(data);
        if (!page)
            throw KivUtilityException("KivWinHelp");
        target += std::string("::/") + page;
        viewerCommand = HH_DISPLAY_TOPIC;
        break;
    }
    case HELP_FINDER:
    case HELP_CONTENTS:
        viewerCommand = HH_DISPLAY_TOC;
        break;
    default:
        throw KivUtilityException("KivWinHelp");
    }
    // Asked for a file that is not there, the viewer may show its own box; it is not asked.
    if (GetPathType(file.c_str()) != PathFile)
        throw KivUtilityException("KivWinHelp");
    HtmlHelpFunction htmlHelp = LoadHtmlHelp();
    if (!htmlHelp ||
        !htmlHelp(owner ? owner : GetDesktopWindow(), target.c_str(), viewerCommand, 0))
        throw KivUtilityException("KivWinHelp");
}

} // namespace

void KivWinHelp(HWND owner, UINT command, ULONG_PTR data) {
    KivWinHelp(owner, command, data, RunningModuleFileName);
}

void KivWinHelp(HWND owner, UINT command, ULONG_PTR data, ModuleFileNameSource source) {
    const std::string path = KivGetFullPathName("KIV.HLP", source);
    if (GetPathType(path.c_str()) == PathFile) {
        if (!WinHelpA(owner, path.c_str(), command, data))
            throw KivUtilityException("KivWinHelp");
        return;
    }
    ShowCompiledHelp(owner, command, data, KivGetFullPathName("KIV.chm", source));
}

bool KivShowHelp(HWND owner, UINT command, ULONG_PTR data) {
    try {
        KivWinHelp(owner, command, data);
        return true;
    } catch (const KivUtilityException&) {
        MessageBoxA(owner, "ヘルプファイルを開くことができませんでした。", "KIV - ヘルプ",
                    MB_OK | MB_ICONWARNING);
        return false;
    }
}
