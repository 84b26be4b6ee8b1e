// Stands in for a companion program: writes its command line and its working directory, one per
// line and byte for byte, to the file named by the environment variable KIV_CMDPROBE_OUT (written
// whole under a temporary name, then renamed, so a reader never sees half of it).
#include <windows.h>
#include <string>

int main() {
    char out[MAX_PATH];
    if (!GetEnvironmentVariableA("KIV_CMDPROBE_OUT", out, sizeof(out)))
        return 2;
    char directory[MAX_PATH];
    GetCurrentDirectoryA(sizeof(directory), directory);
    const std::string text = std::string(GetCommandLineA()) + "\n" + directory + "\n";
    const std::string temporary = std::string(out) + ".part";
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 3;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return MoveFileExA(temporary.c_str(), out, MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
