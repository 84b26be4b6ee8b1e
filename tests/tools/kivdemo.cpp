// Prepares a demo working directory: two TopWindow folders with a few items, the first docked at
// the top edge, the second at the left edge, both only as large as their items need.
// Usage: kivdemo <working-directory>
#include <windows.h>
#include <ole2.h>
#include <cstdio>
#include <cstring>
#include <string>

#include "KivItem.h"
#include "KivPidl.h"
#include "KivWinProperty.h"

namespace {

void WriteFile(const std::string& path, const char* text) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    ::WriteFile(f, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
    CloseHandle(f);
}

void SetRecord(const std::string& data, const std::string& folder, int side, int offset) {
    KivItem item;
    item.SetPathId(KivPidl(folder.c_str()));
    KivWinProperty property(data.c_str());
    property.LoadParam(item.folderPath.c_str());
    property.WindowSide = static_cast<signed char>(side);
    property.WinSideOffset = offset;
    property.NeedSize = true;
    property.ShowSeparator = true;
    property.SaveParam(item.folderPath.c_str());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: kivdemo <working-directory>\n");
        return 2;
    }
    OleInitialize(nullptr);
    const std::string work = argv[1];
    const std::string data = work + "\\IconData";
    const std::string top1 = data + "\\TopWindow1", top2 = data + "\\TopWindow2";
    for (const std::string& dir :
         {work, data, top1, top1 + "\\資料", top1 + "\\写真", top2, top2 + "\\プロジェクト"})
        CreateDirectoryA(dir.c_str(), nullptr);
    WriteFile(top1 + "\\はじめに.txt", "Kiv のデモです。\r\n");
    WriteFile(top1 + "\\memo.txt", "memo\r\n");
    WriteFile(top1 + "\\区切り.sep.kiv", "");
    WriteFile(top1 + "\\予定表.txt", "予定\r\n");
    WriteFile(top2 + "\\readme.txt", "readme\r\n");
    WriteFile(top2 + "\\日記.txt", "日記\r\n");
    WriteFile(top2 + "\\notes.txt", "notes\r\n");
    int failures = 0;
    try {
        SetRecord(data, top1, 0, 200);
        SetRecord(data, top2, 1, 120);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kivdemo: %s\n", e.what());
        failures = 1;
    }
    OleUninitialize();
    return failures;
}
