// A program for launching tests: when started, it writes the file "<its own path>.ran" holding its
// command line, so a test can copy it under any name and see whether that copy was launched.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t self[MAX_PATH * 2];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
    if (length == 0 || length >= MAX_PATH * 2)
        return 1;
    const std::wstring marker = std::wstring(self, length) + L".ran";
    // Written under a scratch name and renamed, so a test never reads half a file.
    const std::wstring scratch = marker + L".tmp";
    HANDLE file = CreateFileW(scratch.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    const char* line = GetCommandLineA();
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
    CloseHandle(file);
    return MoveFileExW(scratch.c_str(), marker.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
