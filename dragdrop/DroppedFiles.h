// The file names a data object carries as CF_HDROP.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <optional>
#include <string>
#include <vector>

#include "OleWrapper.h"

// Asks data for CF_HDROP in global memory. Without it (GetData fails): nothing. Otherwise the
// names in the ANSI code page, in their order (empty entries left out); the storage medium is
// released before returning.
std::optional<std::vector<std::string>> GetDroppedFiles(IDataObject* data);

class KivPidl;

// Whether the file or folder at path lies directly in folder (the identifier list of the path
// without its last element equals folder's). A name that cannot be parsed (gone meanwhile, or
// unreadable) lies nowhere: false.
bool LiesInFolder(const std::string& path, const KivPidl& folder);

// The shell's data object for files dropped the older way (WM_DROPFILES): asked of the folder of
// the first name, for all names, which are taken to lie in that folder. An empty holder when
// there are no names, a name cannot be parsed, or the folder gives no data object.
OleWrapper<IDataObject> DataObjectOfFiles(HWND owner, const std::vector<std::string>& paths);
