// Shared fixtures of the settings tests: a fresh data directory with real folders, and helpers
// that read the record files the way an outside reader would.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace settingstest {

// A working directory with its data directory IconData, both removed afterwards.
class DataDirTest : public ::testing::Test {
protected:
    kivtest::TempDir root{"kivset"};
    std::string data = root / "IconData";

    void SetUp() override { kivtest::MakeDir(data); }
    std::string HashFile() const { return data + "\\KivWinPropertyHash.kiv"; }
    // A real folder below the working directory (outside the data directory).
    std::string MakeFolder(const std::string& name) const;
};

// The key names of one section, in file order.
std::vector<std::string> SectionKeys(const std::string& file, const std::string& section);
std::string ProfileValue(const std::string& file, const std::string& section,
                         const std::string& key);
// The files of a folder whose names end with ending.
std::vector<std::string> FilesEndingWith(const std::string& folder, const std::string& ending);

// Fourteen single-byte characters that, appended to prefix, make the whole text hash
// to target: one character lands on each position of the sum.
std::string SuffixForHash(const std::string& prefix, const std::string& target);

} // namespace settingstest
