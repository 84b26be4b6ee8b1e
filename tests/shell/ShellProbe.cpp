// A small program the shell tests drive.
//   shellprobe                  writes "started.txt" beside itself (launched through the shell)
//   shellprobe marker <file>    writes <file> (launched through a shortcut with arguments)
//   shellprobe teardown         uses the shell layer between OleInitialize and OleUninitialize
//                               and returns 0; a crash while the process-wide shell objects are
//                               torn down shows as another exit code
#include <windows.h>
#include <shlwapi.h>
#include <cstring>
#include <string>

#include "KivItem.h"
#include "KivPidl.h"

namespace {

// Built before the shell objects and destroyed after them: its list must still be freed safely.
KivPidl lateList;

void WriteMarker(const std::string& path) {
    char directory[MAX_PATH];
    GetCurrentDirectoryA(sizeof(directory), directory);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD done = 0;
    WriteFile(file, directory, static_cast<DWORD>(std::strlen(directory)), &done, nullptr);
    CloseHandle(file);
}

int Teardown() {
    if (FAILED(OleInitialize(nullptr)))
        return 2;
    int result = 0;
    try {
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, sizeof(self));
        lateList = KivPidl(self);
        KivItem item;
        item.SetPathId(lateList);
        if (item.type != KivItem::ItemFile)
            result = 3;
    } catch (const std::exception&) {
        result = 4;
    }
    OleUninitialize();
    return result;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "marker") == 0) {
        WriteMarker(argv[2]);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "teardown") == 0)
        return Teardown();
    // PathRemoveFileSpecA walks the name by characters: a trail byte 0x5C is no separator.
    char folder[MAX_PATH];
    GetModuleFileNameA(nullptr, folder, sizeof(folder));
    PathRemoveFileSpecA(folder);
    WriteMarker(std::string(folder) + "\\started.txt");
    return 0;
}
