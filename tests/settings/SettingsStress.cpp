// A worker of the settings stress test, run as several processes at once on one data directory.
//   settingsstress run <data dir> <folder root> <worker> <operations> <log dir>
//     saves, loads, copies and removes records of shared and own folders in a loop. Operations
//     on shared folders hold the lock around the operation and its line in <log dir>\ops.log,
//     so the log is the order in which they happened; own folders go to own<worker>.log. Loads
//     of shared folders without the outer lock must still see whole records. Exit code 0 when
//     nothing went wrong, 1 otherwise (details in errors<worker>.txt).
//   settingsstress hold <marker file>
//     takes the lock, creates the marker file and waits to be killed.
#include <windows.h>
#include <ole2.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "KivIconSortHelper.h"
#include "KivParameter.h"
#include "KivWinProperty.h"
#include "StressPlan.h"

namespace {

using NameList = std::vector<std::string>;

void AppendLine(const std::string& file, const std::string& line) {
    const HANDLE handle =
        CreateFileA(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        ExitProcess(3);
    const std::string text = line + "\r\n";
    DWORD written = 0;
    WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(handle);
}

std::string Join(const NameList& names) {
    std::string joined;
    for (const std::string& name : names)
        joined += (joined.empty() ? "" : "|") + name;
    return joined;
}

class Worker {
public:
    Worker(std::string data, std::string root, int worker, std::string logDir)
        : data(std::move(data)), shared(stressplan::SharedFolders(root)),
          own(stressplan::PrivateFolders(root, worker)), worker(worker),
          opsLog(logDir + "\\ops.log"), ownLog(logDir + "\\own" + std::to_string(worker) + ".log"),
          errors(logDir + "\\errors" + std::to_string(worker) + ".txt"),
          random(static_cast<unsigned>(worker) * 7919u + 17u) {}

    int Run(int operations) {
        for (int i = 0; i < operations; ++i) {
            const int stamp = (worker + 1) * 100000 + i;
            try {
                Step(stamp);
            } catch (const std::exception& e) {
                Fail(std::string("exception: ") + e.what());
            }
        }
        return failed ? 1 : 0;
    }

private:
    std::string data;
    NameList shared;
    NameList own;
    int worker;
    std::string opsLog;
    std::string ownLog;
    std::string errors;
    std::mt19937 random;
    bool failed = false;

    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); }
    void Fail(const std::string& text) {
        failed = true;
        AppendLine(errors, text);
    }

    void Step(int stamp) {
        const int choice = Pick(20);
        if (choice < 14) {
            // A shared folder: the operation and its log line under one lock.
            KivParameterMutex lock;
            AppendLine(opsLog, Operation(shared, choice % 7, stamp));
        } else if (choice < 17) {
            AppendLine(ownLog, Operation(own, Pick(7), stamp));
        } else {
            UnlockedLoad(shared[Pick(static_cast<int>(shared.size()))]);
        }
    }

    // One operation on folders of the list; returns its log line.
    std::string Operation(const NameList& folders, int kindOfOperation, int stamp) {
        const std::string& folder = folders[Pick(static_cast<int>(folders.size()))];
        const std::string& other = folders[Pick(static_cast<int>(folders.size()))];
        switch (kindOfOperation) {
        case 0: {
            KivWinProperty p(data.c_str());
            p.LoadParam(folder.c_str());
            stressplan::Stamp(p, stamp);
            p.SaveParam(folder.c_str());
            return "saveW\t" + folder + "\t" + std::to_string(stamp);
        }
        case 1: {
            const int count = Pick(5);
            KivIconSortHelper<std::string> order(data.c_str());
            order.names = stressplan::StampNames(folder, stamp, count);
            order.SaveParam(folder.c_str());
            return "saveS\t" + folder + "\t" + std::to_string(stamp) + "\t" + std::to_string(count);
        }
        case 2: {
            KivWinProperty p(data.c_str());
            p.RemoveParam(folder.c_str());
            return "removeW\t" + folder;
        }
        case 3: {
            KivIconSortHelper<std::string> order(data.c_str());
            order.RemoveParam(folder.c_str());
            return "removeS\t" + folder;
        }
        case 4: {
            KivWinProperty p(data.c_str());
            p.CopyParam(other.c_str(), folder.c_str());
            KivIconSortHelper<std::string> order(data.c_str());
            order.CopyParam(other.c_str(), folder.c_str());
            return "copy\t" + other + "\t" + folder;
        }
        case 5: {
            KivWinProperty p(data.c_str());
            p.LoadParam(folder.c_str());
            const stressplan::Signature s = stressplan::SignatureOf(p);
            return "loadW\t" + folder + "\t" + std::to_string(s.iconSize) + "\t" +
                   std::to_string(s.showTime) + "\t" + std::to_string(s.column) + "\t" +
                   std::to_string(s.fontSize);
        }
        default: {
            KivIconSortHelper<std::string> order(data.c_str());
            order.LoadParam(folder.c_str());
            return "loadS\t" + folder + "\t" + Join(order.names);
        }
        }
    }

    void UnlockedLoad(const std::string& folder) {
        KivWinProperty p(data.c_str());
        p.LoadParam(folder.c_str());
        if (!stressplan::IsWhole(stressplan::SignatureOf(p)))
            Fail("torn window properties of " + folder + ": " + std::to_string(p.IconSize));
        KivIconSortHelper<std::string> order(data.c_str());
        order.LoadParam(folder.c_str());
        if (!stressplan::IsWholeOrder(order.names))
            Fail("torn icon order of " + folder + ": " + Join(order.names));
    }
};

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "hold") {
        KivParameterMutex lock;
        AppendLine(argv[2], "holding");
        Sleep(INFINITE);
        return 0;
    }
    if (argc != 7 || std::string(argv[1]) != "run")
        return 2;
    OleInitialize(nullptr);
    Worker worker(argv[2], argv[3], std::atoi(argv[4]), argv[6]);
    const int result = worker.Run(std::atoi(argv[5]));
    OleUninitialize();
    return result;
}
