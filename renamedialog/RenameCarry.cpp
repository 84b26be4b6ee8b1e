#include "RenameCarry.h"

#include <windows.h>

#include <exception>
#include <vector>

#include "KivIconSortHelper.h"
#include "KivParameter.h"
#include "KivWinProperty.h"

namespace {

bool IsDirectory(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The path as the system stores it: the file system drops trailing dots and spaces of a name, so
// "Apps." is the folder Apps, and the records must be keyed by the name it really has.
std::string SystemPath(const std::string& path) {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()),
                                              buffer.data(), nullptr);
        if (length == 0)
            return path;
        if (length < buffer.size())
            return std::string(buffer.data(), length);
        buffer.resize(length + 1);
    }
}

using IconOrder = KivIconSortHelper<std::string>;

template <class Record> bool HasRecord(const char* dataDirectory, const std::string& folder) {
    Record record(dataDirectory);
    return record.ExistsParam(folder.c_str());
}

template <class Record> void RemoveRecord(const char* dataDirectory, const std::string& folder) {
    Record record(dataDirectory);
    record.RemoveParam(folder.c_str());
}

// A fresh record for each copy: loading an icon order appends to its names.
template <class Record>
void CopyRecord(const char* dataDirectory, const std::string& from, const std::string& to) {
    Record record(dataDirectory);
    record.CopyParam(to.c_str(), from.c_str());
}

// The records of one folder to its new key. Both are copied before either is removed: the two
// record types share one hash entry, and the first removal deletes it.
// Only the record types the folder has are copied: copying a missing one would make a record of
// today's defaults, which would no longer follow the default record. A record of such a type
// left under the new name by a folder that is gone is removed first (before any copy, since its
// removal deletes the shared entry), so the renamed folder inherits nothing of another folder.
void CarryRecords(const char* dataDirectory, const std::string& from, const std::string& to) {
    if (SameFolderText(from.c_str(), to.c_str())) {
        // The same hash entry holds both names: copying and removing would delete the records.
        // Only the stored spelling changes, so that a later rename finds the key byte for byte.
        KivWinProperty entry(dataDirectory);
        entry.MakeParamHash(from.c_str(), false);
        if (!WritePrivateProfileStringA(ParamHashSection, entry.hashName.c_str(), to.c_str(),
                                        entry.GetHashFileName().c_str()))
            throw KivParameterException("Error KivParameter::MakeParamHash Write");
        return;
    }
    const bool hasProperties = HasRecord<KivWinProperty>(dataDirectory, from);
    const bool hasOrder = HasRecord<IconOrder>(dataDirectory, from);
    if (!hasProperties && HasRecord<KivWinProperty>(dataDirectory, to))
        RemoveRecord<KivWinProperty>(dataDirectory, to);
    if (!hasOrder && HasRecord<IconOrder>(dataDirectory, to))
        RemoveRecord<IconOrder>(dataDirectory, to);
    if (hasProperties)
        CopyRecord<KivWinProperty>(dataDirectory, from, to);
    if (hasOrder)
        CopyRecord<IconOrder>(dataDirectory, from, to);
    RemoveRecord<KivWinProperty>(dataDirectory, from);
    RemoveRecord<IconOrder>(dataDirectory, from);
}

} // namespace

std::optional<std::string> CarriedKey(const std::string& key, const std::string& oldPath,
                                      const std::string& newPath) {
    if (oldPath.empty() || IsDefaultFolder(key.c_str()))
        return std::nullopt;
    if (key.compare(0, oldPath.size(), oldPath) != 0)
        return std::nullopt;
    // The bytes of key up to oldPath.size() are whole characters (they are oldPath's), so the
    // byte after them starts a character: a backslash there is a real one.
    if (key.size() > oldPath.size() && key[oldPath.size()] != '\\')
        return std::nullopt;
    return newPath + key.substr(oldPath.size());
}

RenameResult RenameAndCarry(const std::string& dataDirectory, const std::string& oldPath,
                            const std::string& newPath, bool isFolder) {
    KivParameterMutex lock;
    if (!MoveFileA(oldPath.c_str(), newPath.c_str()))
        return RenameResult::MoveFailed;
    if (!isFolder && !IsDirectory(newPath))
        return RenameResult::Renamed;

    const std::string newKeyBase = SystemPath(newPath);
    std::exception_ptr firstFailure;
    for (const std::string& key : GetParamFolders(dataDirectory.c_str())) {
        const std::optional<std::string> newKey = CarriedKey(key, oldPath, newKeyBase);
        if (!newKey)
            continue;
        try {
            CarryRecords(dataDirectory.c_str(), key, *newKey);
        } catch (const KivParameterException&) {
            // The other folders are still carried: after this the old path is gone, and no
            // second try could find their records.
            if (!firstFailure)
                firstFailure = std::current_exception();
        }
    }
    if (firstFailure)
        std::rethrow_exception(firstFailure);
    return RenameResult::Renamed;
}

RenameResult RenameItem(const std::string& dataDirectory, const RenameNameParts& item,
                        const std::string& newName, bool isFolder) {
    // A drive root or a path ending in a backslash has no name to change.
    if (!IsPlainNewName(newName) || (item.namePart.empty() && item.keptSuffix.empty()))
        return RenameResult::MoveFailed;
    return RenameAndCarry(dataDirectory, item.folderPart + item.namePart + item.keptSuffix,
                          item.folderPart + newName + item.keptSuffix, isFolder);
}
