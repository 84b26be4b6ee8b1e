// Writes KivGetFullPathName("KIV.HLP") of this program into the file named by the argument, so a
// test can run it from folders of its choice.
#include <windows.h>

#include "PathUtility.h"

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    std::string result;
    try {
        result = KivGetFullPathName("KIV.HLP");
    } catch (const KivUtilityException& e) {
        result = std::string("exception:") + e.what();
    }
    HANDLE file = CreateFileA(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 3;
    DWORD done = 0;
    WriteFile(file, result.data(), static_cast<DWORD>(result.size()), &done, nullptr);
    CloseHandle(file);
    return 0;
}
