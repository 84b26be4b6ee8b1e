// The store across real processes: several stress workers at once, checked against a replay of
// their logs; and a lock holder that is killed.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <thread>
#include <type_traits>

#include "KivIconSortHelper.h"
#include "SettingsFixture.h"
#include "StressPlan.h"

using settingstest::DataDirTest;
using settingstest::FilesEndingWith;
using settingstest::SectionKeys;
using stressplan::Signature;
using NameList = std::vector<std::string>;

namespace {

std::vector<std::string> SplitText(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator)
        parts.push_back("");
    return parts;
}

std::vector<std::string> Lines(const std::string& file) {
    if (!kivtest::Exists(file))
        return {};
    std::vector<std::string> lines;
    for (std::string line : SplitText(kivtest::ReadTextFile(file), '\n')) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

// What the files must hold after a sequence of operations: the hash walk and the record files
// replayed in memory.
class StoreModel {
public:
    std::map<std::string, std::string> hash; // hash name -> folder
    std::map<std::string, Signature> properties;
    std::map<std::string, NameList> orders;
    std::vector<std::string> mismatches;

    void Apply(const std::string& line) {
        const std::vector<std::string> f = SplitText(line, '\t');
        const std::string& op = f.at(0);
        if (op == "saveW") {
            properties[Walk(f.at(1), true)] = stressplan::StampSignature(std::stoi(f.at(2)));
        } else if (op == "saveS") {
            SaveOrder(f.at(1),
                      stressplan::StampNames(f.at(1), std::stoi(f.at(2)), std::stoi(f.at(3))));
        } else if (op == "removeW" || op == "removeS") {
            const std::string name = Walk(f.at(1), true);
            hash.erase(name);
            if (op == "removeW")
                properties.erase(name);
            else
                orders.erase(name);
        } else if (op == "copy") {
            properties[Walk(f.at(1), true)] = LoadProperties(f.at(2));
            SaveOrder(f.at(1), LoadOrder(f.at(2)));
        } else if (op == "loadW") {
            const Signature seen{std::stoi(f.at(2)), std::stoi(f.at(3)), std::stoi(f.at(4)),
                                 std::stoi(f.at(5))};
            if (!(seen == LoadProperties(f.at(1))))
                mismatches.push_back(line);
        } else if (op == "loadS") {
            const NameList seen = f.size() > 2 && !f[2].empty() ? SplitText(f[2], '|') : NameList{};
            if (seen != LoadOrder(f.at(1)))
                mismatches.push_back(line);
        } else {
            mismatches.push_back("unknown line: " + line);
        }
    }

private:
    std::string Walk(const std::string& folder, bool create) {
        std::string name = ComputeParamHash(folder);
        for (;;) {
            const auto found = hash.find(name);
            if (found == hash.end()) {
                if (!create)
                    return "";
                hash[name] = folder;
                return name;
            }
            if (SameFolderText(found->second.c_str(), folder.c_str()))
                return name;
            if (!NextHashName(name))
                throw std::runtime_error("walk exhausted");
        }
    }

    Signature LoadProperties(const std::string& folder) {
        const std::string name = Walk(folder, false);
        const auto found = properties.find(name);
        return name.empty() || found == properties.end() ? stressplan::DefaultSignature()
                                                         : found->second;
    }

    NameList LoadOrder(const std::string& folder) {
        const std::string name = Walk(folder, false);
        const auto found = orders.find(name);
        return name.empty() || found == orders.end() ? NameList{} : found->second;
    }

    void SaveOrder(const std::string& folder, const NameList& names) {
        const std::string name = Walk(folder, true);
        if (names.empty())
            orders.erase(name);
        else
            orders[name] = names;
    }
};

// Every line of a settings file is a section header, key=value or empty; no stray bytes.
void ExpectWellFormed(const std::string& file) {
    const std::string content = kivtest::ReadTextFile(file);
    EXPECT_EQ(content.find('\0'), std::string::npos) << file;
    for (std::string line : SplitText(content, '\n')) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const bool header = line.size() >= 2 && line.front() == '[' && line.back() == ']';
        const bool pair = line.find('=') != std::string::npos && line.find('=') > 0;
        EXPECT_TRUE(line.empty() || header || pair) << file << ": " << line;
    }
}

// The raw [Hash] lines of the hash file: name -> folder, with every duplicate name reported.
std::map<std::string, std::string> RawHashEntries(const std::string& file) {
    std::map<std::string, std::string> entries;
    bool inHash = false;
    for (std::string line : Lines(file)) {
        if (line.front() == '[') {
            inHash = line == "[Hash]";
            continue;
        }
        const size_t equals = line.find('=');
        if (!inHash || equals == std::string::npos)
            continue;
        const std::string name = line.substr(0, equals);
        EXPECT_EQ(entries.count(name), 0u) << "duplicate hash entry " << name;
        entries[name] = line.substr(equals + 1);
    }
    return entries;
}

const int workerCount = 8;
const int operationsPerWorker = 250;

} // namespace

using SettingsAcrossProcesses = DataDirTest;

TEST_F(SettingsAcrossProcesses, StressWorkersLeaveExactlyWhatTheLastWriterWrote) {
    const std::string folderRoot = MakeFolder("Folders");
    const std::string logDir = MakeFolder("Logs");
    std::set<std::string> sharedNames;
    for (const std::string& folder : stressplan::SharedFolders(folderRoot)) {
        kivtest::MakeDir(folder);
        std::string name = ComputeParamHash(folder);
        for (int i = 0; i < 8; ++i, NextHashName(name))
            sharedNames.insert(name);
    }
    for (int k = 0; k < workerCount; ++k)
        for (const std::string& folder : stressplan::PrivateFolders(folderRoot, k)) {
            kivtest::MakeDir(folder);
            // Own folders are replayed apart from the shared ones: their walks must not meet.
            ASSERT_EQ(sharedNames.count(ComputeParamHash(folder)), 0u) << folder;
        }

    const std::string program = kivtest::BuiltProgram("settingsstress.exe");
    const auto started = std::chrono::steady_clock::now();
    std::vector<std::unique_ptr<kivtest::ChildProcess>> workers;
    for (int k = 0; k < workerCount; ++k)
        workers.push_back(std::make_unique<kivtest::ChildProcess>(
            "\"" + program + "\" run \"" + data + "\" \"" + folderRoot + "\" " + std::to_string(k) +
                " " + std::to_string(operationsPerWorker) + " \"" + logDir + "\"",
            ""));
    for (int k = 0; k < workerCount; ++k) {
        EXPECT_EQ(workers[k]->Wait(480000), 0u) << "worker " << k;
        for (const std::string& line : Lines(logDir + "\\errors" + std::to_string(k) + ".txt"))
            ADD_FAILURE() << "worker " << k << ": " << line;
    }
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started)
            .count();
    std::cout << "stress: " << workerCount << " processes x " << operationsPerWorker
              << " operations in " << seconds << " s\n";

    StoreModel model;
    const std::vector<std::string> sharedLog = Lines(logDir + "\\ops.log");
    for (const std::string& line : sharedLog)
        model.Apply(line);
    size_t ownLines = 0;
    for (int k = 0; k < workerCount; ++k)
        for (const std::string& line : Lines(logDir + "\\own" + std::to_string(k) + ".log")) {
            model.Apply(line);
            ++ownLines;
        }
    std::cout << "stress: " << sharedLog.size() << " locked operations on shared folders, "
              << ownLines << " on own folders\n";
    EXPECT_GT(sharedLog.size(), static_cast<size_t>(workerCount * operationsPerWorker / 2));
    for (const std::string& line : model.mismatches)
        ADD_FAILURE() << "a load saw other values than the last write: " << line;

    // The hash file: every entry once, none lost, none extra.
    ExpectWellFormed(HashFile());
    EXPECT_EQ(RawHashEntries(HashFile()), model.hash);

    // Every record file: exactly the records the replay expects, holding the last write.
    std::set<std::string> propertyFiles, expectedPropertyFiles;
    for (const std::string& file : FilesEndingWith(data, ".wpr.kiv"))
        propertyFiles.insert(file);
    for (const auto& [name, signature] : model.properties) {
        expectedPropertyFiles.insert(name + ".wpr.kiv");
        const std::string file = data + "\\" + name + ".wpr.kiv";
        ExpectWellFormed(file);
        const Signature stored{
            static_cast<int>(GetPrivateProfileIntA("AllResolution", "IconSize", -1, file.c_str())),
            static_cast<int>(GetPrivateProfileIntA("AllResolution", "ShowTime", -1, file.c_str())),
            static_cast<int>(GetPrivateProfileIntA("AllResolution", "Column", -1, file.c_str())),
            static_cast<int>(GetPrivateProfileIntA("AllResolution", "FontSize", -1, file.c_str()))};
        EXPECT_TRUE(stored == signature) << file << " holds " << stored.iconSize;
    }
    EXPECT_EQ(propertyFiles, expectedPropertyFiles);

    std::set<std::string> orderFiles, expectedOrderFiles;
    for (const std::string& file : FilesEndingWith(data, ".srt.kiv"))
        orderFiles.insert(file);
    for (const auto& [name, names] : model.orders) {
        expectedOrderFiles.insert(name + ".srt.kiv");
        const std::string file = data + "\\" + name + ".srt.kiv";
        ExpectWellFormed(file);
        NameList keys;
        NameList stored;
        for (size_t i = 0; i < names.size(); ++i) {
            keys.push_back(std::to_string(i));
            stored.push_back(settingstest::ProfileValue(file, "Sort", std::to_string(i)));
        }
        EXPECT_EQ(SectionKeys(file, "Sort"), keys) << file;
        EXPECT_EQ(stored, names) << file;
    }
    EXPECT_EQ(orderFiles, expectedOrderFiles);
    EXPECT_TRUE(FilesEndingWith(data, ".work").empty());
}

// One lock object, one handle: copying would release the mutex twice.
static_assert(!std::is_copy_constructible_v<KivParameterMutex>);
static_assert(!std::is_copy_assignable_v<KivParameterMutex>);

TEST(ParameterMutexAcrossProcesses, KilledHolderDoesNotBlockTheOthers) {
    kivtest::TempDir dir("kivlock");
    const std::string marker = dir / "holding.txt";
    kivtest::ChildProcess holder(
        "\"" + kivtest::BuiltProgram("settingsstress.exe") + "\" hold \"" + marker + "\"", "");
    for (int i = 0; i < 400 && !kivtest::Exists(marker); ++i)
        Sleep(50);
    ASSERT_TRUE(kivtest::Exists(marker)) << "the holder never took the lock";

    std::promise<void> acquired;
    std::future<void> done = acquired.get_future();
    std::thread waiter([&acquired] {
        KivParameterMutex lock;
        acquired.set_value();
    });
    // The lock is one for all processes: while the other process holds it, this one waits.
    EXPECT_EQ(done.wait_for(std::chrono::milliseconds(1500)), std::future_status::timeout);
    holder.Kill();
    const bool taken = done.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
    EXPECT_TRUE(taken) << "the abandoned lock was not taken over";
    if (!taken) {
        waiter.detach();
        return;
    }
    waiter.join();
    // Taken over and released again: the next lock is granted at once.
    std::thread again([] { KivParameterMutex lock; });
    again.join();
}
