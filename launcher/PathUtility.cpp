#include "PathUtility.h"

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

void KivWinHelp(HWND owner, UINT command, ULONG_PTR data) {
    const std::string path = KivGetFullPathName("KIV.HLP");
    if (!WinHelpA(owner, path.c_str(), command, data))
        throw KivUtilityException("KivWinHelp");
}
