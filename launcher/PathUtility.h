// GetPathType, KivGetFullPathName, KivWinHelp, KivShowHelp: the path test, the name of a file
// beside the running program, and the help calls.
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

// Shows the help with a WinHelp command (HELP_CONTEXT with a context number, HELP_FINDER or
// HELP_CONTENTS for the contents). With "KIV.HLP" beside the program WinHelpA shows it; otherwise
// the compiled HTML help "KIV.chm" beside the program opens at the page of the context number, or
// at its contents. Throws KivUtilityException("KivWinHelp") when no help can be shown.
void KivWinHelp(HWND owner, UINT command, ULONG_PTR data);
// The same for a program whose path comes from source.
void KivWinHelp(HWND owner, UINT command, ULONG_PTR data, ModuleFileNameSource source);

// The page of "KIV.chm" that a help context number opens; null for a number it does not know.
const char* HelpContextPage(ULONG_PTR context);

// KivWinHelp for the commands that must go on without help: when no help can be shown, a warning
// box says so and the result is false.
bool KivShowHelp(HWND owner, UINT command, ULONG_PTR data);
