// MakeUniqueFileName, CreateNewShortcut, CreateShellLink: the utilities behind the menu's
// new-item commands.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <string>

// Candidate n of the series for a folder, base name and extension: folder\base.ext for n = 1,
// folder\base(n).ext after that. A folder ending in a backslash (a drive root) gets no second one.
std::string UniqueFileNameCandidate(const std::string& folder, const std::string& base,
                                    const std::string& extension, unsigned n);

// The first candidate of the series that names nothing existing. With an empty extension the path
// ends with a dot, which the file system drops when the item is created.
std::string MakeUniqueFileName(const char* folder, const char* base, const char* extension);

// The system's new-shortcut command with its placeholders filled: the first "%1" and the first
// "%2" of the command each become the path, unquoted. Only the command's own placeholders are
// replaced, never text inside the inserted path.
std::string FillShellNewCommand(const std::string& command, const std::string& path);

// Where the new-shortcut command comes from; false when it cannot be read.
using ShellNewCommandSource = bool (*)(std::string& command);

// Reads the value "Command" of HKEY_CLASSES_ROOT\.lnk\ShellNew.
bool ReadShellNewCommand(std::string& command);

// Creates an empty 新しいショートカット.LNK (or the next free name) in the folder and starts the
// system's shortcut wizard on it; the file is deleted again when the wizard cannot be started.
bool CreateNewShortcut(const char* folder);
bool CreateNewShortcut(const char* folder, ShellNewCommandSource source);

// Writes a shortcut file to the identifier list.
bool CreateShellLink(const char* path, LPCITEMIDLIST target);
