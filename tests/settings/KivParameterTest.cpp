// Parameter files: hash entries and their walk, record files, exceptions, long values.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "KivIconSortHelper.h"
#include "KivParameter.h"
#include "KivWinProperty.h"
#include "SettingsFixture.h"

using settingstest::DataDirTest;
using settingstest::FilesEndingWith;
using settingstest::ProfileValue;
using settingstest::SectionKeys;

namespace {

std::string Next(std::string name) {
    NextHashName(name);
    return name;
}

int SavedIconSize(const std::string& data, const std::string& folder) {
    KivWinProperty record(data.c_str());
    record.LoadParam(folder.c_str());
    return record.IconSize;
}

void SaveIconSize(const std::string& data, const std::string& folder, int iconSize) {
    KivWinProperty record(data.c_str());
    record.LoadParam(folder.c_str());
    record.IconSize = iconSize;
    record.SaveParam(folder.c_str());
}

} // namespace

using ParameterFiles = DataDirTest;

TEST_F(ParameterFiles, DefaultRecordIsStoredUnderItsHashName) {
    KivWinProperty record(data.c_str());
    record.LoadParam(nullptr);
    record.IconSize = 40;
    record.SaveParam(nullptr);
    EXPECT_EQ(record.hashName, "QRSNHYGAAAAAAA");
    EXPECT_EQ(record.kind, ParamKindDefault);
    EXPECT_EQ(SectionKeys(HashFile(), "Hash"), std::vector<std::string>{"QRSNHYGAAAAAAA"});
    EXPECT_EQ(ProfileValue(HashFile(), "Hash", "QRSNHYGAAAAAAA"), "Default");
    EXPECT_EQ(ProfileValue(data + "\\QRSNHYGAAAAAAA.wpr.kiv", "AllResolution", "IconSize"), "40");
    // The scratch file is gone again, nothing else was left behind.
    EXPECT_TRUE(FilesEndingWith(data, ".work").empty());
    EXPECT_EQ(FilesEndingWith(data, ".kiv").size(), 2u);

    // "Default" in another letter case is the same record, and is stored as "Default".
    KivWinProperty other(data.c_str());
    other.LoadParam("dEFAULT");
    EXPECT_EQ(other.IconSize, 40);
    other.IconSize = 41;
    other.SaveParam("DEFAULT");
    EXPECT_EQ(SectionKeys(HashFile(), "Hash").size(), 1u);
    EXPECT_EQ(ProfileValue(HashFile(), "Hash", "QRSNHYGAAAAAAA"), "Default");
    EXPECT_EQ(SavedIconSize(data, "Default"), 41);
}

TEST_F(ParameterFiles, SameFolderInOtherLetterCaseFindsTheSameEntry) {
    const std::string folder = MakeFolder("Photos");
    SaveIconSize(data, folder, 24);
    std::string upper = folder;
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(SavedIconSize(data, upper), 24);
    SaveIconSize(data, upper, 28);
    EXPECT_EQ(SectionKeys(HashFile(), "Hash").size(), 1u);
    // The entry keeps the spelling it was made with.
    EXPECT_EQ(GetParamFolders(data.c_str()), std::vector<std::string>{folder});
    EXPECT_EQ(SavedIconSize(data, folder), 28);
}

TEST_F(ParameterFiles, CollidingFoldersWalkPastEachOther) {
    // Bytes 14 apart add into the same position: these three names give the same sums.
    const std::string filler(13, 'x');
    const std::string first = MakeFolder("A" + filler + "B");
    const std::string second = MakeFolder("B" + filler + "A");
    const std::string third = MakeFolder("C" + filler + "@");
    const std::string start = ComputeParamHash(first);
    ASSERT_EQ(ComputeParamHash(second), start);
    ASSERT_EQ(ComputeParamHash(third), start);

    SaveIconSize(data, first, 20);
    SaveIconSize(data, second, 21);
    SaveIconSize(data, third, 22);
    EXPECT_EQ(SectionKeys(HashFile(), "Hash"),
              (std::vector<std::string>{start, Next(start), Next(Next(start))}));
    EXPECT_EQ(ProfileValue(HashFile(), "Hash", Next(start)), second);
    EXPECT_EQ(SavedIconSize(data, first), 20);
    EXPECT_EQ(SavedIconSize(data, second), 21);
    EXPECT_EQ(SavedIconSize(data, third), 22);

    KivWinProperty probe(data.c_str());
    probe.MakeParamHash(third.c_str(), false);
    EXPECT_EQ(probe.hashName, Next(Next(start)));

    // Removing the first entry cuts the walk: the second folder is no longer found ...
    KivWinProperty remover(data.c_str());
    remover.RemoveParam(first.c_str());
    EXPECT_EQ(SavedIconSize(data, second), 16);
    EXPECT_FALSE(remover.ExistsParam(second.c_str()));
    // ... and its next save makes a new entry at the freed name; the old one stays.
    SaveIconSize(data, second, 23);
    EXPECT_EQ(ProfileValue(HashFile(), "Hash", start), second);
    EXPECT_EQ(ProfileValue(HashFile(), "Hash", Next(start)), second);
    EXPECT_EQ(SavedIconSize(data, second), 23);
    EXPECT_EQ(SavedIconSize(data, third), 22);
}

TEST_F(ParameterFiles, WalkWithNoCandidateLeftThrowsHash) {
    // A folder whose hash is WYYYYYYYYYYYYY has only two names after it: X... and then Y...,
    // whose step carries through all fourteen positions.
    const std::string prefix = root.Path() + "\\";
    const std::string folder = MakeFolder(settingstest::SuffixForHash(prefix, "WYYYYYYYYYYYYY"));
    ASSERT_EQ(ComputeParamHash(folder), "WYYYYYYYYYYYYY");
    const std::string taken = "[Hash]\r\n"
                              "WYYYYYYYYYYYYY=C:\\Other1\r\n"
                              "XYYYYYYYYYYYYY=C:\\Other2\r\n"
                              "YYYYYYYYYYYYYY=C:\\Other3\r\n";
    kivtest::WriteTextFile(HashFile(), taken);

    KivWinProperty record(data.c_str());
    record.hashName = "UNCHANGED";
    EXPECT_EQ(kivtest::ThrownMessage<KivParameterException>(
                  [&] { record.MakeParamHash(folder.c_str(), false); }),
              "Error KivParameter::MakeParamHash Hash");
    EXPECT_EQ(kivtest::ThrownMessage<KivParameterException>(
                  [&] { record.MakeParamHash(folder.c_str(), true); }),
              "Error KivParameter::MakeParamHash Hash");
    EXPECT_EQ(record.hashName, "UNCHANGED");
    EXPECT_EQ(
        kivtest::ThrownMessage<KivParameterException>([&] { record.SaveParam(folder.c_str()); }),
        "Error KivParameter::MakeParamHash Hash");
    // The callers that can go on absorb it and leave the files alone.
    EXPECT_FALSE(record.ExistsParam(folder.c_str()));
    record.RemoveParam(folder.c_str());
    record.LoadParam(folder.c_str());
    EXPECT_EQ(record.IconSize, 16);
    EXPECT_EQ(kivtest::ReadTextFile(HashFile()), taken);
    EXPECT_TRUE(FilesEndingWith(data, ".wpr.kiv").empty());

    // One free candidate in the walk is enough.
    ASSERT_TRUE(WritePrivateProfileStringA("Hash", "XYYYYYYYYYYYYY", nullptr, HashFile().c_str()));
    record.SaveParam(folder.c_str());
    EXPECT_EQ(record.hashName, "XYYYYYYYYYYYYY");
    EXPECT_EQ(ProfileValue(HashFile(), "Hash", "XYYYYYYYYYYYYY"), folder);
}

TEST_F(ParameterFiles, ReadWithoutEntryThrowsReadAndMakesNothing) {
    KivWinProperty record(data.c_str());
    EXPECT_EQ(kivtest::ThrownMessage<KivParameterException>(
                  [&] { record.MakeParamHash("C:\\Nowhere", false); }),
              "Error KivParameter::MakeParamHash Read");
    EXPECT_TRUE(record.hashName.empty());
    EXPECT_FALSE(record.ExistsParam("C:\\Nowhere"));
    record.LoadParam("C:\\Nowhere");
    EXPECT_FALSE(kivtest::Exists(HashFile()));
}

TEST_F(ParameterFiles, UnwritableHashFileThrowsWrite) {
    // A folder in the hash file's place: it can be neither read nor written as a file.
    kivtest::MakeDir(HashFile());
    KivWinProperty record(data.c_str());
    EXPECT_EQ(kivtest::ThrownMessage<KivParameterException>(
                  [&] { record.MakeParamHash("C:\\Somewhere", true); }),
              "Error KivParameter::MakeParamHash Write");
    EXPECT_EQ(
        kivtest::ThrownMessage<KivParameterException>([&] { record.SaveParam("C:\\Somewhere"); }),
        "Error KivParameter::MakeParamHash Write");
    record.RemoveParam("C:\\Somewhere"); // absorbed
    EXPECT_FALSE(record.ExistsParam("C:\\Somewhere"));
}

TEST_F(ParameterFiles, UnwritableRecordFileThrowsWritePrivateProfileString) {
    const std::string folder = MakeFolder("Music");
    KivWinProperty record(data.c_str());
    record.MakeParamHash(folder.c_str(), true);
    kivtest::MakeDir(record.GetParamFileName());
    EXPECT_EQ(
        kivtest::ThrownMessage<KivParameterException>([&] { record.SaveParam(folder.c_str()); }),
        "Error KivParameter::WritePrivateProfileString");
    // A folder of the record's name is not a record.
    EXPECT_FALSE(record.ExistsParam(folder.c_str()));
}

TEST_F(ParameterFiles, NoMutexMeansDefaultsForReadersAndAnErrorForWriters) {
    // An object of another type under the lock's name: the mutex cannot be made.
    const HANDLE squatter = CreateEventA(nullptr, TRUE, FALSE,
                                         "KivParameterMutex{700B124D-C580-4B37-A319-0FBEBB4EFBA0}");
    ASSERT_NE(squatter, nullptr);
    const std::string folder = MakeFolder("Video");
    EXPECT_EQ(kivtest::ThrownMessage<KivParameterException>([] { KivParameterMutex lock; }),
              "Error KivParameterMutex CreateMutex");
    KivWinProperty record(data.c_str());
    record.LoadParam(folder.c_str());
    EXPECT_EQ(record.IconSize, 16);
    EXPECT_FALSE(record.ExistsParam(folder.c_str()));
    record.RemoveParam(folder.c_str());
    EXPECT_EQ(
        kivtest::ThrownMessage<KivParameterException>([&] { record.SaveParam(folder.c_str()); }),
        "Error KivParameterMutex CreateMutex");
    EXPECT_THROW(GetParamFolders(data.c_str()), KivParameterException);
    CloseHandle(squatter);
    record.SaveParam(folder.c_str());
    EXPECT_TRUE(record.ExistsParam(folder.c_str()));
}

TEST_F(ParameterFiles, RemoveDeletesEntryAndOnlyItsOwnType) {
    const std::string folder = MakeFolder("Docs");
    SaveIconSize(data, folder, 20);
    KivIconSortHelper<std::string> order(data.c_str());
    order.names = {"C:\\a", "C:\\b"};
    order.SaveParam(folder.c_str());
    KivWinProperty record(data.c_str());
    ASSERT_TRUE(record.ExistsParam(folder.c_str()));
    ASSERT_TRUE(order.ExistsParam(folder.c_str()));
    const std::string hashName = record.hashName;

    record.RemoveParam(folder.c_str());
    EXPECT_TRUE(SectionKeys(HashFile(), "Hash").empty());
    EXPECT_FALSE(kivtest::Exists(data + "\\" + hashName + ".wpr.kiv"));
    EXPECT_TRUE(kivtest::Exists(data + "\\" + hashName + ".srt.kiv"));
    // With the shared entry gone the icon order is not found any more ...
    EXPECT_FALSE(order.ExistsParam(folder.c_str()));
    KivIconSortHelper<std::string> loaded(data.c_str());
    loaded.LoadParam(folder.c_str());
    EXPECT_TRUE(loaded.names.empty());
    // ... until its own removal makes and deletes the entry again.
    order.RemoveParam(folder.c_str());
    EXPECT_TRUE(SectionKeys(HashFile(), "Hash").empty());
    EXPECT_TRUE(FilesEndingWith(data, ".srt.kiv").empty());
}

TEST_F(ParameterFiles, CopyCarriesBothTypesToTheNewPath) {
    const std::string oldFolder = MakeFolder("Old");
    const std::string newFolder = MakeFolder("New");
    SaveIconSize(data, oldFolder, 48);
    KivIconSortHelper<std::string> order(data.c_str());
    order.names = {oldFolder + "\\x.txt", "*", oldFolder + "\\y.txt"};
    order.SaveParam(oldFolder.c_str());

    KivWinProperty record(data.c_str());
    record.CopyParam(newFolder.c_str(), oldFolder.c_str());
    KivIconSortHelper<std::string> orderCopy(data.c_str());
    orderCopy.CopyParam(newFolder.c_str(), oldFolder.c_str());
    record.RemoveParam(oldFolder.c_str());
    orderCopy.RemoveParam(oldFolder.c_str());

    EXPECT_EQ(SavedIconSize(data, newFolder), 48);
    EXPECT_EQ(SavedIconSize(data, oldFolder), 16);
    KivIconSortHelper<std::string> loaded(data.c_str());
    loaded.LoadParam(newFolder.c_str());
    EXPECT_EQ(loaded.names, order.names);
    EXPECT_EQ(GetParamFolders(data.c_str()), std::vector<std::string>{newFolder});
}

TEST_F(ParameterFiles, NestedLocksInOneThreadDoNotBlock) {
    const std::string source = MakeFolder("Src");
    const std::string target = MakeFolder("Dst");
    SaveIconSize(data, source, 30);
    KivParameterMutex outer;
    KivParameterMutex again;
    KivWinProperty record(data.c_str());
    record.CopyParam(target.c_str(), source.c_str());
    EXPECT_EQ(GetParamFolders(data.c_str()).size(), 2u);
    EXPECT_EQ(SavedIconSize(data, target), 30);
}

TEST_F(ParameterFiles, LongValuesAndLongKeyListsAreReadWhole) {
    // Lengths around the first buffer (260), in single-byte and double-byte text (表 is 95 5C).
    const std::string file = root / "long.ini";
    std::string content = "[S]\r\n";
    std::vector<std::string> values;
    for (size_t length : {0u, 1u, 256u, 257u, 258u, 259u, 260u, 261u, 520u, 1000u}) {
        values.push_back(std::string(length, 'v'));
        std::string kanji;
        for (size_t i = 0; i < length / 2; ++i)
            kanji += "\x95\x5C";
        values.push_back(kanji);
        values.push_back("a" + kanji); // a character that straddles every even buffer end
    }
    for (size_t i = 0; i < values.size(); ++i)
        content += "K" + std::to_string(i) + "=" + values[i] + "\r\n";
    kivtest::WriteTextFile(file, content);
    for (size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(ReadProfileString("S", ("K" + std::to_string(i)).c_str(), "", file.c_str()),
                  values[i])
            << "value " << i << " of length " << values[i].size();

    // A hash section of 40 entries is far longer than the first buffer.
    std::string hash = "[Hash]\r\n";
    std::vector<std::string> folders;
    std::string name = "AAAAAAAAAAAAAA";
    for (int i = 0; i < 40; ++i) {
        folders.push_back("C:\\Folder\\" + std::to_string(i) + "\\" + std::string(300, 'f'));
        hash += name + "=" + folders.back() + "\r\n";
        NextHashName(name);
    }
    kivtest::WriteTextFile(HashFile(), hash);
    EXPECT_EQ(GetParamFolders(data.c_str()), folders);
}

TEST_F(ParameterFiles, DamagedHashFileStillFindsItsEntries) {
    const std::string folder = MakeFolder("Kept");
    const std::string name = ComputeParamHash(folder);
    // Garbage lines, binary bytes, a line without "=", the default entry under a key and a value
    // in other letter case; the entries that can be read must still be found.
    const std::string garbage = std::string("\x01\x02\xff\xfe junk\r\n") +
                                "no equals sign here\r\n"
                                "[Hash]\r\n"
                                "\x80\x81\x82=\x83\x84\r\n"
                                "=empty key\r\n"
                                "qrsnhygaaaaaaa=dEFAULT\r\n" +
                                name + "=" + folder + "\r\n" + "ZZZZ=\r\n" +
                                std::string("\x00\x00\x00", 3) + "\r\n[Other]\r\nx=y\r\n";
    kivtest::WriteTextFile(HashFile(), garbage);
    kivtest::WriteTextFile(data + "\\QRSNHYGAAAAAAA.wpr.kiv",
                           "[AllResolution]\r\nTimerTimeOut=250\r\n");
    kivtest::WriteTextFile(data + "\\" + name + ".wpr.kiv", "[AllResolution]\r\nIconSize=40\r\n");

    KivWinProperty record(data.c_str());
    record.LoadParam(folder.c_str());
    EXPECT_EQ(record.IconSize, 40);
    EXPECT_EQ(record.TimerTimeOut, 250);
    EXPECT_TRUE(record.ExistsParam(folder.c_str()));
    EXPECT_EQ(record.hashName, name);
    const std::vector<std::string> folders = GetParamFolders(data.c_str());

    EXPECT_NE(std::find(folders.begin(), folders.end(), folder), folders.end());
    EXPECT_NE(std::find(folders.begin(), folders.end(), "dEFAULT"), folders.end());
    // Saving into the damaged file keeps the entries that were there.
    SaveIconSize(data, folder, 44);
    EXPECT_EQ(SavedIconSize(data, folder), 44);
    EXPECT_EQ(ProfileValue(HashFile(), "Hash", "QRSNHYGAAAAAAA"), "dEFAULT");
    // A new entry makes the profile functions rewrite the damaged file: what was readable stays.
    const std::string added = MakeFolder("Added");
    SaveIconSize(data, added, 45);
    EXPECT_EQ(SavedIconSize(data, added), 45);
    EXPECT_EQ(SavedIconSize(data, folder), 44);
    record.LoadParam(nullptr);
    EXPECT_EQ(record.TimerTimeOut, 250);

    // A nameless key first in the section ends the profile functions' key list at once: the
    // folder list is empty then, but every entry is still found by its name.
    kivtest::WriteTextFile(HashFile(), "[Hash]\r\n=x\r\n" + name + "=" + folder + "\r\n");
    EXPECT_TRUE(GetParamFolders(data.c_str()).empty());
    EXPECT_EQ(SavedIconSize(data, folder), 44);
}
