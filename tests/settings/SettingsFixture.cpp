#include "SettingsFixture.h"

#include <ole2.h>

#include "KivParameter.h"

namespace {

// The programs run the store after OleInitialize; the shell parses the paths of SetParamKind.
[[maybe_unused]] ::testing::Environment* const oleEnvironment =
    ::testing::AddGlobalTestEnvironment(new kivtest::OleEnvironment);

} // namespace

namespace settingstest {

std::string DataDirTest::MakeFolder(const std::string& name) const {
    const std::string path = root / name;
    kivtest::MakeDir(path);
    return path;
}

std::vector<std::string> SectionKeys(const std::string& file, const std::string& section) {
    const std::string list = ReadProfileString(section.c_str(), nullptr, "", file.c_str());
    std::vector<std::string> keys;
    for (size_t start = 0; start < list.size();) {
        const size_t end = list.find('\0', start);
        keys.push_back(list.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return keys;
}

std::string ProfileValue(const std::string& file, const std::string& section,
                         const std::string& key) {
    return ReadProfileString(section.c_str(), key.c_str(), "", file.c_str());
}

std::vector<std::string> FilesEndingWith(const std::string& folder, const std::string& ending) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if (name.size() >= ending.size() &&
            name.compare(name.size() - ending.size(), ending.size(), ending) == 0)
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

std::string SuffixForHash(const std::string& prefix, const std::string& target) {
    // The sums the prefix leaves at each position (prefix is plain ASCII here).
    unsigned sums[ParamHashLength] = {};
    for (size_t i = 0; i < prefix.size(); ++i) {
        char c = prefix[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        sums[i % ParamHashLength] += static_cast<unsigned char>(c);
    }
    // Characters allowed in a file name that keep their value in the sum (no lower case, and
    // single-byte katakana A1-DF, which are no lead bytes) and may end a name (no dot or space);
    // together wide enough that every residue is reachable from any sum.
    std::string alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ!#$%&'()+,-;=@[]^_`{}~";
    for (int c = 0xA1; c <= 0xDF; ++c)
        alphabet += static_cast<char>(c);
    std::string suffix;
    for (size_t i = 0; i < ParamHashLength; ++i) {
        const size_t position = (prefix.size() + i) % ParamHashLength;
        char chosen = 0;
        for (char c : alphabet)
            if ((sums[position] + static_cast<unsigned char>(c)) % 256 % 26 ==
                static_cast<unsigned>(target[position] - 'A')) {
                chosen = c;
                break;
            }
        if (chosen == 0)
            throw std::runtime_error("no character reaches the wanted letter");
        suffix += chosen;
    }
    return suffix;
}

} // namespace settingstest
