// The pure decisions of the rename dialog over its inputs: the command line it accepts, how the
// item's path splits into the part that stays, the part the user edits and the part re-appended,
// and which new names are names at all.
#pragma once
#include <optional>
#include <string>
#include <vector>

// The switch that marks a start by the main program; compared exactly, letter case included.
inline constexpr const char* RenameSwitch = "/HriSywjfw7747";

struct RenameArguments {
    std::string dataDirectory; // without trailing backslash
    std::string path;          // the full path of the item to rename
};

// The arguments after the program name, split by the usual rules (double quotes group words with
// spaces) from the UTF-16 command line, where a trail byte 0x5C cannot pass for a backslash
// before a quote, and brought to the ANSI code page.
std::vector<std::string> CommandLineArguments(const wchar_t* commandLine);

// The arguments after the program name: exactly the switch, the data directory and the path.
std::optional<RenameArguments> ParseRenameArguments(const std::vector<std::string>& arguments);

struct RenameNameParts {
    std::string folderPart; // up to and including the last backslash; empty without one
    std::string namePart;   // what the user edits
    std::string keptSuffix; // re-appended after the new name: a shortcut's extension, else empty
};

// Splits path with double-byte characters as units (a trail byte 0x5C is no backslash).
// A shortcut keeps its extension apart; any other item keeps its extension in the edited name,
// except that a name ending in a single dot loses that dot.
RenameNameParts SplitRenamePath(const std::string& path, bool isShortcut);

// A new name that can only be a name: not empty and holding no path separator ("\" or "/", as
// single-byte characters). Anything else would move the item to another folder instead of
// renaming it, or name no item at all.
bool IsPlainNewName(const std::string& name);
