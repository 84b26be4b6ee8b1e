// Saves and loads an icon order of many names and prints the times against a floor measured in
// the same run: the same bytes written to and read from a plain file.
//   orderbench [count]   (default 5000)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "KivIconSortHelper.h"

namespace {

double Milliseconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

template <class Action> double Time(Action&& action) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    action();
    QueryPerformanceCounter(&end);
    return Milliseconds(start, end);
}

std::string MakeFolder(const char* hint) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    const std::string path = std::string(temp) + hint + std::to_string(GetCurrentProcessId()) +
                             "_" + std::to_string(GetTickCount());
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

void RemoveFolder(const std::string& path) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((path + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 5000;
    const std::string data = MakeFolder("kivbench");
    const std::string folder = data + "\\Items";
    CreateDirectoryA(folder.c_str(), nullptr);

    std::vector<std::string> names;
    std::string content = "[Sort]\r\n";
    for (int i = 0; i < count; ++i) {
        names.push_back(folder + "\\項目 " + std::to_string(i) + ".txt");
        content += std::to_string(i) + "=" + names.back() + "\r\n";
    }

    // The floor: one write and one read of a file with the same bytes.
    const std::string plain = data + "\\plain.txt";
    const double floorWrite = Time([&] {
        const HANDLE file = CreateFileA(plain.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD done = 0;
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &done, nullptr);
        CloseHandle(file);
    });
    std::string readBack(content.size(), '\0');
    const double floorRead = Time([&] {
        const HANDLE file = CreateFileA(plain.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD done = 0;
        ReadFile(file, readBack.data(), static_cast<DWORD>(readBack.size()), &done, nullptr);
        CloseHandle(file);
    });

    KivIconSortHelper<std::string> saved(data.c_str());
    saved.names = names;
    const double save = Time([&] { saved.SaveParam(folder.c_str()); });
    KivIconSortHelper<std::string> loaded(data.c_str());
    const double load = Time([&] { loaded.LoadParam(folder.c_str()); });
    const bool same = loaded.names == names;

    std::printf("icon order of %d names (%zu bytes)%s\n", count, content.size(),
                same ? "" : "  LOADED NAMES DIFFER");
    std::printf("save %10.1f ms   floor %8.3f ms   ratio %10.1f\n", save, floorWrite,
                save / floorWrite);
    std::printf("load %10.1f ms   floor %8.3f ms   ratio %10.1f\n", load, floorRead,
                load / floorRead);
    RemoveFolder(folder);
    RemoveFolder(data);
    return same ? 0 : 1;
}
