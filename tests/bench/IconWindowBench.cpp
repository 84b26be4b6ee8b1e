// Prints how long an icon window takes to load and lay out folders of 1,000 and 5,000 files, next
// to the floor measured in the same run (the same folder enumerated through IShellFolder with the
// display name, parsing name and attributes of each child), and how long a full repaint of a
// window of 1,000 items takes. Not a test: it prints figures and ratios.
// Usage: iconwindow_bench [rounds]
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
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

std::string MakeFolder(const char* base, int files) {
    const std::string path = std::string(base) + "kivbench-" + std::to_string(files) + "-" +
                             std::to_string(GetCurrentProcessId());
    RemoveTree(path);
    CreateDirectoryA(path.c_str(), nullptr);
    for (int i = 0; i < files; ++i) {
        char name[64];
        std::snprintf(name, sizeof(name), "\\file %05d.txt", i);
        HANDLE f = CreateFileA((path + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(f, "x", 1, &written, nullptr);
        CloseHandle(f);
    }
    return path;
}

// The floor: what any listing of the folder through the shell has to do.
double Floor(const std::string& path, size_t& count) {
    const double start = Now();
    OleWrapper<IShellFolder> desktop = KivPidl::GetDesktopFolder();
    KivPidl folderPidl(path.c_str());
    OleWrapper<IShellFolder> folder;
    desktop->BindToObject(folderPidl.Get(), nullptr, IID_IShellFolder, folder.PutVoid());
    OleWrapper<IEnumIDList> enumerator;
    folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, enumerator.Put());
    count = 0;
    for (;;) {
        KivPidl child;
        ULONG fetched = 0;
        if (enumerator->Next(1, child.Put(), &fetched) != S_OK)
            break;
        const std::string display = GetDisplayNameOf(folder, child, SHGDN_INFOLDER);
        const std::string parsing = GetDisplayNameOf(folder, child, SHGDN_FORPARSING);
        LPCITEMIDLIST items[1] = {child.Get()};
        ULONG attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_LINK | SFGAO_GHOSTED;
        folder->GetAttributesOf(1, items, &attributes);
        count += display.size() + parsing.size() > 0;
    }
    return Now() - start;
}

struct Measured {
    double load;
    size_t items;
};

Measured LoadAndLayout(NWnd& owner, const char* data, const KivItem& folder) {
    KivWindow window(&owner, data, folder);
    window.CreateWindow();
    const double start = Now();
    window.LoadAndLayout(KivWindow::neverAbort);
    return {Now() - start, window.GetItems().size()};
}

// Where the time of one load and layout goes, step by step (the steps of Layout run again by
// themselves after it, so they are measured on the loaded items).
void PrintSteps(NWnd& owner, const char* data, const KivItem& folder) {
    KivWindow window(&owner, data, folder);
    window.CreateWindow();
    double start = Now();
    window.LoadItems(KivWindow::neverAbort);
    const double load = Now() - start;
    start = Now();
    window.ApplyIconOrder();
    const double order = Now() - start;
    start = Now();
    window.MeasureCells();
    const double measure = Now() - start;
    start = Now();
    window.Layout();
    const double layout = Now() - start;
    start = Now();
    window.RebuildToolTips();
    const double tips = Now() - start;
    std::printf("         steps: LoadItems %.1f, ApplyIconOrder %.1f, MeasureCells %.1f, whole "
                "Layout %.1f, of it RebuildToolTips %.1f\n",
                load, order, measure, layout, tips);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    // Every line reaches the file at once, whatever happens later in the run.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    OleInitialize(nullptr);
    int result = 0;
    try {
        char temp[MAX_PATH];
        GetTempPathA(sizeof(temp), temp);
        const std::string data =
            std::string(temp) + "kivbench-data-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(data.c_str(), nullptr);
        NApp app(GetModuleHandleA(nullptr));
        NWnd owner(&app);

        std::printf("load + layout of one folder (median of %d rounds, milliseconds)\n", rounds);
        std::printf("%8s %10s %10s %8s\n", "files", "floor", "window", "ratio");
        std::string thousand;
        for (int files : {1000, 5000}) {
            const std::string path = MakeFolder(temp, files);
            KivItem folder;
            folder.SetPathId(KivPidl(path.c_str()));
            std::vector<double> floors, loads;
            size_t count = 0;
            Measured measured{};
            for (int r = 0; r < rounds; ++r) {
                floors.push_back(Floor(path, count));
                measured = LoadAndLayout(owner, data.c_str(), folder);
                loads.push_back(measured.load);
            }
            const double floor = Median(floors), load = Median(loads);
            std::printf("%8d %10.1f %10.1f %8.2f   (%zu and %zu items)\n", files, floor, load,
                        load / floor, count, measured.items);
            PrintSteps(owner, data.c_str(), folder);
            if (files == 1000)
                thousand = path;
            else
                RemoveTree(path);
        }

        // A full repaint of a window of 1,000 items. The window shows icons only, 22 to a row, so
        // that every cell lies on the screen and every cell is painted.
        KivItem folder;
        folder.SetPathId(KivPidl(thousand.c_str()));
        {
            KivWinProperty property(data.c_str());
            property.LoadParam(folder.folderPath.c_str());
            property.ItemTextPlace = 0;
            property.IconSize = 16;
            property.ItemArrange = 0;
            property.Column = 22;
            property.NeedSize = true;
            property.SaveParam(folder.folderPath.c_str());
        }
        KivWindow window(&owner, data.c_str(), folder);
        window.CreateWindow();
        window.LoadAndLayout(KivWindow::neverAbort);
        const SIZE client = window.GetClientSize();
        window.SetWindowRect(window.AdjustWindowRectEx(RECT{0, 0, client.cx, client.cy}, false),
                             SWP_NOACTIVATE | SWP_SHOWWINDOW, HWND_TOPMOST);
        ValidateRect(window.GetHandle(), nullptr);
        double start = Now();
        window.InvalidateRect(nullptr, true);
        window.UpdateWindow();
        GdiFlush();
        const double first = Now() - start;
        std::vector<double> repaints;
        for (int r = 0; r < std::max(rounds, 5); ++r) {
            start = Now();
            window.InvalidateRect(nullptr, true);
            window.UpdateWindow();
            GdiFlush();
            repaints.push_back(Now() - start);
        }
        const double repaint = Median(repaints);
        // What the cache saves each repaint: the shell's icon lookup of every item.
        start = Now();
        for (const KivItem& item : window.GetItems()) {
            HIMAGELIST list = nullptr;
            item.GetIconImage(list, true);
        }
        const double lookups = Now() - start;
        std::printf("\nrepaint of a window of %zu items, all on screen (client %ldx%ld)\n",
                    window.GetItems().size(), client.cx, client.cy);
        std::printf("  first paint (asks the shell once per item):   %8.1f ms\n", first);
        std::printf("  full repaint (icon indexes cached):           %8.1f ms\n", repaint);
        std::printf("  the shell's icon lookup of every item:        %8.1f ms\n", lookups);
        std::printf("  icons asked of the shell by all the paints:   %d\n",
                    window.GetCachedIconCount());
        std::printf(
            "  repaint / (repaint + lookups) = %.2f: a repaint that asked the shell would take "
            "%.1fx as long\n",
            repaint / (repaint + lookups), (repaint + lookups) / repaint);
        RemoveTree(thousand);
        RemoveTree(data);
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "iconwindow_bench: %s\n", e.what());
        result = 1;
    }
    OleUninitialize();
    return result;
}
