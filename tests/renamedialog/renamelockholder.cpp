// Holds the settings lock for the rename tests.
// Usage: renamelockholder <marker file> <release file>
//   takes the lock, creates the marker file, and lets the lock go when the release file appears
//   (or when it is killed).
#include <windows.h>

#include "KivParameter.h"

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    KivParameterMutex lock;
    const HANDLE marker = CreateFileA(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker == INVALID_HANDLE_VALUE)
        return 3;
    CloseHandle(marker);
    for (int i = 0; i < 6000; ++i) {
        if (GetFileAttributesA(argv[2]) != INVALID_FILE_ATTRIBUTES)
            return 0;
        Sleep(50);
    }
    return 4;
}
