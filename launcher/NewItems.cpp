#include "NewItems.h"

#include "CodeTrans.h"
#include "Companion.h"
#include "OleWrapper.h"
#include "PathUtility.h"

#include <memory>

std::string UniqueFileNameCandidate(const std::string& folder, const std::string& base,
                                    const std::string& extension, unsigned n) {
    std::string path = folder;
    // Walked by characters: a folder whose last character has the trail byte 0x5C (表, ソ, ...)
    // still needs its separator.
    const char* last = FindLastBackslash(folder.c_str());
    if (!last || last[1] != '\0')
        path += '\\';
    path += base;
    if (n > 1)
        path += '(' + std::to_string(n) + ')';
    return path + '.' + extension;
}

std::string MakeUniqueFileName(const char* folder, const char* base, const char* extension) {
    for (unsigned n = 1;; ++n) {
        std::string candidate = UniqueFileNameCandidate(folder, base, extension, n);
        if (GetPathType(candidate.c_str()) == PathMissing)
            return candidate;
    }
}

std::string FillShellNewCommand(const std::string& command, const std::string& path) {
    // Positions are taken in the command as read, so a "%2" inside the inserted path stays.
    const size_t first = command.find("%1");
    const size_t second = command.find("%2");
    std::string filled;
    for (size_t i = 0; i < command.size(); ++i) {
        if (i == first || i == second) {
            filled += path;
            ++i;
        } else {
            filled += command[i];
        }
    }
    return filled;
}

bool ReadShellNewCommand(std::string& command) {
    // Read access is all it takes; full access is refused to a standard user, since the key
    // belongs to the machine's classes.
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ".lnk\\ShellNew", 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return false;
    DWORD type = 0, size = 0;
    bool read = RegQueryValueExA(key, "Command", nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
    std::unique_ptr<char[]> buffer(new char[size + 1]());
    if (read)
        read = RegQueryValueExA(key, "Command", nullptr, &type,
                                reinterpret_cast<BYTE*>(buffer.get()), &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (!read)
        return false;
    buffer[size] = '\0';
    command = buffer.get();
    if (type == REG_EXPAND_SZ) {
        const DWORD expandedSize = ExpandEnvironmentStringsA(command.c_str(), nullptr, 0);
        std::unique_ptr<char[]> expanded(new char[expandedSize + 1]());
        if (ExpandEnvironmentStringsA(command.c_str(), expanded.get(), expandedSize + 1))
            command = expanded.get();
    }
    return true;
}

bool CreateNewShortcut(const char* folder) {
    return CreateNewShortcut(folder, ReadShellNewCommand);
}

bool CreateNewShortcut(const char* folder, ShellNewCommandSource source) {
    const std::string path = MakeUniqueFileName(folder, "新しいショートカット", "LNK");
    HANDLE file =
        CreateFileA(path.c_str(), 0, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_ARCHIVE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    std::string command;
    if (source(command) && RunCommandLine(FillShellNewCommand(command, path).c_str()))
        return true; // the wizard fills the file
    DeleteFileA(path.c_str());
    return false;
}

bool CreateShellLink(const char* path, LPCITEMIDLIST target) {
    OleWrapper<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.PutVoid())))
        return false;
    if (FAILED(link->SetIDList(target)))
        return false;
    OleWrapper<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.PutVoid())))
        return false;
    MultiByteToWideCharWrapper widePath(path);
    return SUCCEEDED(file->Save(widePath, TRUE));
}
