// RenameAndCarry: the rename of one item and, for a folder, the carrying of the settings records
// of that folder and of every folder below it to the new path, as one step for the other
// programs (under the settings lock). CarriedKey: which record key moves where.
#pragma once
#include <optional>
#include <string>

#include "RenameName.h"

enum class RenameResult {
    Renamed,    // the item has its new name (and a folder's records their new keys)
    MoveFailed, // nothing changed: the system refused the new name, or it was no name
};

// The key that the records of folder key get when oldPath is renamed to newPath: key itself is
// oldPath, or continues after it with a backslash (a sibling whose name merely begins with the
// old name keeps its records). Byte for byte, letter case significant. nullopt for every other
// key and for the default record.
std::optional<std::string> CarriedKey(const std::string& key, const std::string& oldPath,
                                      const std::string& newPath);

// Renames oldPath to newPath (MoveFileA) under one settings lock. When the item is a folder
// (isFolder, or the renamed item turns out to be a directory), the records of every key that
// CarriedKey maps are copied to the new key, both types before either is removed. A key whose
// new path names the same hash entry (a change of letter case only) keeps its records; the
// entry is only respelt. The lock is released before this returns, so a caller's message box
// never holds up the other programs.
// A KivParameterException while records are carried is thrown after every other key has been
// carried: records already carried stay carried, and a key that failed keeps its old records.
RenameResult RenameAndCarry(const std::string& dataDirectory, const std::string& oldPath,
                            const std::string& newPath, bool isFolder);

// The dialog's OK: the item (old path = folder part + name part + kept suffix) gets newName
// followed by the kept suffix. A new name that is no plain name, or an item without a name (a
// drive root, a path ending in a backslash), fails like a refused rename without asking the
// system.
RenameResult RenameItem(const std::string& dataDirectory, const RenameNameParts& item,
                        const std::string& newName, bool isFolder);
