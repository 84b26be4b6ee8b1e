#include "RenameName.h"

#include <windows.h>
#include <shellapi.h>

#include "CodeTrans.h"

namespace {

const UINT shiftJis = 932;

bool IsLeadByte(char c) {
    return IsDBCSLeadByteEx(shiftJis, static_cast<BYTE>(c)) != 0;
}

// The position of the character after the one at i (a lead byte at the very end stands alone).
size_t NextCharacter(const std::string& text, size_t i) {
    return (IsLeadByte(text[i]) && i + 1 < text.size()) ? i + 2 : i + 1;
}

} // namespace

std::vector<std::string> CommandLineArguments(const wchar_t* commandLine) {
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(commandLine, &count);
    if (words == nullptr)
        return arguments;
    try {
        for (int i = 1; i < count; ++i)
            arguments.emplace_back(WideCharToMultiByteWrapper(words[i]).Get());
    } catch (...) {
        LocalFree(words);
        throw;
    }
    LocalFree(words);
    return arguments;
}

std::optional<RenameArguments> ParseRenameArguments(const std::vector<std::string>& arguments) {
    if (arguments.size() != 3 || arguments[0] != RenameSwitch)
        return std::nullopt;
    return RenameArguments{arguments[1], arguments[2]};
}

RenameNameParts SplitRenamePath(const std::string& path, bool isShortcut) {
    // n: the start of the name, after the last backslash; x: the last dot at or after n.
    size_t nameStart = 0;
    for (size_t i = 0; i < path.size(); i = NextCharacter(path, i))
        if (path[i] == '\\')
            nameStart = i + 1;
    size_t lastDot = path.size();
    for (size_t i = nameStart; i < path.size(); i = NextCharacter(path, i))
        if (path[i] == '.')
            lastDot = i;

    RenameNameParts parts;
    parts.folderPart = path.substr(0, nameStart);
    if (isShortcut) {
        parts.namePart = path.substr(nameStart, lastDot - nameStart);
        parts.keptSuffix = path.substr(lastDot);
    } else if (path.compare(lastDot, std::string::npos, ".") == 0) {
        // A name made with an empty extension (the new-folder command) ends in one dot, which
        // the file system does not keep.
        parts.namePart = path.substr(nameStart, lastDot - nameStart);
    } else {
        parts.namePart = path.substr(nameStart);
    }
    return parts;
}

bool IsPlainNewName(const std::string& name) {
    if (name.empty())
        return false;
    for (size_t i = 0; i < name.size(); i = NextCharacter(name, i))
        if (name[i] == '\\' || name[i] == '/')
            return false;
    return true;
}
