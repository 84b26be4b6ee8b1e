// What the stress program and its test agree on: the folders, the values each write leaves
// (derived from one stamp, so that a torn record shows), and the lines of the operation logs.
#pragma once
#include <string>
#include <vector>

#include "KivWinProperty.h"

namespace stressplan {

// Folders all workers use. The last three collide (bytes 14 apart add into the same position),
// one holds a double-byte character (表, 95 5C).
inline std::vector<std::string> SharedFolders(const std::string& root) {
    const std::string filler(13, 'x');
    return {root + "\\Shared0",
            root + "\\Shared1",
            root + "\\\x95\x5C"
                   "Folder",
            root + "\\A" + filler + "B",
            root + "\\B" + filler + "A",
            root + "\\C" + filler + "@"};
}

// Folders only one worker uses, without the outer lock.
inline std::vector<std::string> PrivateFolders(const std::string& root, int worker) {
    return {root + "\\W" + std::to_string(worker) + "Own0",
            root + "\\W" + std::to_string(worker) + "Own1"};
}

// The window-property fields a write stamps.
struct Signature {
    int iconSize;
    int showTime;
    int column;
    int fontSize;
    bool operator==(const Signature&) const = default;
};

inline Signature StampSignature(int stamp) {
    return {stamp, 2 * stamp + 1, stamp % 89 + 2, -stamp};
}

// The values of a folder without any record (kind 1, no default record).
inline Signature DefaultSignature() {
    return {16, 0, 1, 0};
}

inline Signature SignatureOf(const KivWinProperty& p) {
    return {p.IconSize, p.ShowTime, p.Column, p.FontSize};
}

inline void Stamp(KivWinProperty& p, int stamp) {
    const Signature s = StampSignature(stamp);
    p.IconSize = s.iconSize;
    p.ShowTime = s.showTime;
    p.Column = s.column;
    p.FontSize = s.fontSize;
}

// True when the fields come from one stamp or from no record at all.
inline bool IsWhole(const Signature& s) {
    return s == DefaultSignature() || s == StampSignature(s.iconSize);
}

// An icon order of count names, all carrying the stamp.
inline std::vector<std::string> StampNames(const std::string& folder, int stamp, int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
        names.push_back(folder + "\\item" + std::to_string(stamp) + "-" + std::to_string(i));
    return names;
}

// True when every name carries the same stamp and its own position.
inline bool IsWholeOrder(const std::vector<std::string>& names) {
    if (names.empty())
        return true;
    const size_t dash = names[0].rfind('-');
    if (dash == std::string::npos)
        return false;
    const std::string stem = names[0].substr(0, dash + 1);
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] != stem + std::to_string(i))
            return false;
    return true;
}

} // namespace stressplan
