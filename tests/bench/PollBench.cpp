// Prints what hovering costs. First, one Poll of a shown window of 1,000 items while the cursor
// rests on one of its folder items whose sub-folder window is open (the sub-folder's record is
// kept between polls), next to what the same poll would add by reading that record from its
// files on every poll, and next to the floor of any poll (reading the cursor and finding the item
// under it). Second, the CPU time that Kiv.exe uses while it sits idle with three docked top
// windows, from GetProcessTimes over a stretch of wall time, next to the same figure for a process
// that only sleeps. Not a test: it prints figures and ratios.
// Usage: poll_bench [idle seconds (60)] [polls (2000)]
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "KivItem.h"
#include "KivPidl.h"
#include "KivWinProperty.h"
#include "KivWindow.h"
#include "NApp.h"

namespace {

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

void WriteFile(const std::string& path) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(f, "x", 1, &written, nullptr);
    CloseHandle(f);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string FolderPathOf(const std::string& path) {
    KivItem item;
    item.SetPathId(KivPidl(path.c_str()));
    return item.folderPath;
}

void MeasurePoll(const std::string& base, int polls) {
    const std::string data = base + "data";
    const std::string shown = base + "items";
    CreateDirectoryA(data.c_str(), nullptr);
    CreateDirectoryA(shown.c_str(), nullptr);
    for (int i = 0; i < 999; ++i) {
        char name[64];
        std::snprintf(name, sizeof(name), "\\file %04d.txt", i);
        WriteFile(shown + name);
    }
    const std::string sub = shown + "\\a folder";
    CreateDirectoryA(sub.c_str(), nullptr);
    WriteFile(sub + "\\inside.txt");
    {
        // The sub-folder opens at once; its own record exists, as it does once a user set it.
        KivWinProperty property(data.c_str());
        property.LoadParam(FolderPathOf(sub).c_str());
        property.ShowTime = 0;
        property.SaveParam(FolderPathOf(sub).c_str());
    }

    NApp app(GetModuleHandleA(nullptr));
    NWnd owner(&app);
    KivItem folder;
    folder.SetPathId(KivPidl(shown.c_str()));
    KivWindow window(&owner, data.c_str(), folder);
    window.LoadAndLayout(KivWindow::neverAbort);
    const SIZE client = window.GetClientSize();
    window.SetWindowRect(window.AdjustWindowRectEx(RECT{0, 0, client.cx, client.cy}, false),
                         SWP_NOACTIVATE, HWND_TOPMOST);
    window.CreateWindow();
    int index = -1;
    for (size_t i = 0; i < window.GetItems().size(); ++i)
        if (window.GetItems()[i].displayName == "a folder")
            index = static_cast<int>(i);
    if (index < 0) {
        std::printf("the folder item was not found\n");
        return;
    }
    const RECT cell = window.ClientToScreen(window.GetItemRect(index));
    SetCursorPos((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    // Until the sub-folder window is open; from then on every poll finds the same state.
    for (int i = 0; i < 200 && !window.GetSubWindow(); ++i) {
        window.Poll();
        Sleep(2);
    }
    window.Poll();
    const int loadsBefore = window.GetSubFolderRecordLoads();

    std::vector<double> pollTimes, loadTimes, floorTimes;
    for (int i = 0; i < polls; ++i) {
        double start = Now();
        window.Poll();
        pollTimes.push_back(Now() - start);

        start = Now();
        KivWinProperty property(data.c_str());
        property.LoadParam(window.GetItems()[static_cast<size_t>(index)].folderPath.c_str());
        loadTimes.push_back(Now() - start);

        start = Now();
        const int hit = window.HitTest(window.ScreenToClient(GetCursorPoint()));
        floorTimes.push_back(Now() - start + (hit == -2 ? 1 : 0));
    }
    const double poll = Median(pollTimes), load = Median(loadTimes), floor = Median(floorTimes);
    std::printf("one Poll, cursor resting on a folder item of a window of %zu items "
                "(median of %d, milliseconds)\n",
                window.GetItems().size(), polls);
    std::printf("  floor (cursor + hit test):                      %8.4f\n", floor);
    std::printf("  Poll with the record kept between polls:        %8.4f   (%.1f x floor)\n", poll,
                poll / floor);
    std::printf("  reading the record from its files, once:        %8.4f   (what each poll would "
                "add without keeping it)\n",
                load);
    std::printf("  Poll as it would be with a read on every poll:  %8.4f   (%.1f x the kept one)\n",
                poll + load, (poll + load) / poll);
    std::printf("  records read during the %d polls: %d\n", polls,
                window.GetSubFolderRecordLoads() - loadsBefore);
    SetCursorPos(0, 0);
}

double ProcessCpuMilliseconds(HANDLE process) {
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user))
        return -1;
    auto ms = [](const FILETIME& f) {
        return static_cast<double>((static_cast<unsigned long long>(f.dwHighDateTime) << 32) |
                                   f.dwLowDateTime) /
               10000.0;
    };
    return ms(kernel) + ms(user);
}

struct IdleFigures {
    double cpu = -1;
    double wall = 0;
};

// The CPU time a started process uses over `seconds` after a settling time.
IdleFigures MeasureIdle(const std::string& commandLine, const std::string& directory, int seconds) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::string line = commandLine;
    IdleFigures figures;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &info))
        return figures;
    Sleep(8000); // start-up, first rebuild, docking
    const double cpu0 = ProcessCpuMilliseconds(info.hProcess), wall0 = Now();
    Sleep(static_cast<DWORD>(seconds) * 1000);
    const double cpu1 = ProcessCpuMilliseconds(info.hProcess), wall1 = Now();
    figures.cpu = cpu1 - cpu0;
    figures.wall = wall1 - wall0;
    TerminateProcess(info.hProcess, 0);
    WaitForSingleObject(info.hProcess, 10000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return figures;
}

std::string Beside(const char* name) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof(self));
    std::string path = self;
    return path.substr(0, path.find_last_of('\\') + 1) + name;
}

void MeasureKivIdle(const std::string& base, int seconds) {
    const std::string work = base + "kiv";
    const std::string data = work + "\\IconData";
    CreateDirectoryA(work.c_str(), nullptr);
    CreateDirectoryA(data.c_str(), nullptr);
    for (int n = 1; n <= 3; ++n) {
        const std::string top = data + "\\TopWindow" + std::to_string(n);
        CreateDirectoryA(top.c_str(), nullptr);
        for (int i = 0; i < 10; ++i)
            WriteFile(top + "\\item " + std::to_string(i) + ".txt");
        KivWinProperty property(data.c_str());
        property.LoadParam(FolderPathOf(top).c_str());
        property.WindowSide = n == 1 ? 0 : n == 2 ? 1 : 3;
        property.SaveParam(FolderPathOf(top).c_str());
    }
    SetCursorPos(512, 384); // on no strip
    const IdleFigures kiv = MeasureIdle("\"" + Beside("Kiv.exe") + "\"", work, seconds);
    // The floor: a process that does nothing but wait.
    const IdleFigures sleeper =
        MeasureIdle("\"" + Beside("poll_bench.exe") + "\" --sleep", work, seconds);
    std::printf("\nidle CPU over %d s with three docked top windows (GetProcessTimes)\n", seconds);
    if (kiv.cpu < 0) {
        std::printf("  Kiv.exe could not be started from %s\n", Beside("Kiv.exe").c_str());
        return;
    }
    std::printf("  Kiv.exe:              %8.1f ms CPU in %8.1f ms = %6.3f %% of a core\n", kiv.cpu,
                kiv.wall, 100.0 * kiv.cpu / kiv.wall);
    std::printf("  floor (a sleeper):    %8.1f ms CPU in %8.1f ms = %6.3f %% of a core\n",
                sleeper.cpu, sleeper.wall, 100.0 * sleeper.cpu / sleeper.wall);
    if (kiv.cpu == 0 && sleeper.cpu == 0)
        std::printf("  (no CPU time at all for either: this system does not report the times of "
                    "other processes; measure from outside)\n");
    RemoveTree(work);
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--sleep") {
        Sleep(INFINITE);
        return 0;
    }
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    const int polls = argc > 2 ? std::max(10, std::atoi(argv[2])) : 2000;
    OleInitialize(nullptr);
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    const std::string base =
        std::string(temp) + "kivpollbench-" + std::to_string(GetCurrentProcessId()) + "-";
    MeasurePoll(base, polls);
    RemoveTree(base + "items");
    RemoveTree(base + "data");
    MeasureKivIdle(base, seconds);
    OleUninitialize();
    return 0;
}
