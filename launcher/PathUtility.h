// GetPathType, KivGetFullPathName, KivWinHelp: the path test, the name of a file beside the
// running program, and the help call.
#pragma once
#include <windows.h>
#include <stdexcept>
#include <string>

class KivUtilityException : public std::runtime_error {
public:
    explicit KivUtilityException(const std::string& message) : std::runtime_error(message) {}
};

enum PathType { PathMissing = 0, PathFolder = 1, PathFile = 2 };

int GetPathType(const char* path);

// The folder of the running program (with its trailing backslash) followed by fileName.
std::string KivGetFullPathName(const char* fileName);

// The same over any source of the module path with GetModuleFileNameA's contract (characters
// copied, or the buffer size when the path was cut).
using ModuleFileNameSource = DWORD (*)(char* buffer, DWORD size);
std::string KivGetFullPathName(const char* fileName, ModuleFileNameSource source);

// The last backslash of a code page 932 text, walking by characters (a trail byte 0x5C is not a
// backslash); null when there is none.
const char* FindLastBackslash(const char* text);

void KivWinHelp(HWND owner, UINT command, ULONG_PTR data);
