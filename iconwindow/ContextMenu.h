// The icon window's context menu as plain data: the command ids, their texts, and which of the
// program's entries follow the shell's for an item, a folder item, a separator or the background.
// KivWindow's BuildContextMenu appends these entries after the shell's own; OnCommand runs them.
#pragma once
#include <windows.h>
#include <vector>

namespace KivMenu {

// The shell's entries take the ids from FirstShellCommand to LastShellCommand.
constexpr UINT FirstShellCommand = 1;
constexpr UINT LastShellCommand = 65000;

enum Command : UINT {
    WindowProperty = 65001,
    Exit = 65002,
    Help = 65003,
    Version = 65004,
    NewShortcut = 65005,
    NewFolder = 65006,
    NewSeparator = 65007,
    NewDesktopShortcut = 65008,
    NewTopWindow = 65009,
    Rename = 65010,
    ItemWindowProperty = 65011,
    DefaultProperty = 65012,
    DeleteSeparator = 65013,
    MoveFirst = 65014,
    MoveUp = 65015,
    MoveDown = 65016,
    MoveLast = 65017,
};
constexpr UINT FirstCommand = WindowProperty;
constexpr UINT LastCommand = MoveLast;

// The menu text of one of the program's commands; null for any other id.
const char* CommandText(UINT id);

// What the menu was opened on.
enum class Target {
    Background, // the window's own folder (also Ctrl+Shift over an item)
    Separator,  // a separator item: the folder's shell entries, then its commands
    Item,       // an item that opens no folder
    FolderItem, // an item of a folder type (folder, virtual folder, shortcut to a folder)
};

// The target for an item type (KivItem's type values); Background for no item (index < 0).
Target TargetOf(bool hasItem, unsigned char itemType);

struct Entry {
    enum Kind { CommandEntry, Line, SubMenu } kind;
    UINT id;          // CommandEntry only
    const char* text; // CommandEntry and SubMenu
    std::vector<Entry> children;
};

// The program's entries for the target, in menu order, with their sub-menus.
std::vector<Entry> ProgramEntries(Target target);

// The insertion index that a move command passes to MoveItem for item index of count items:
// 0, index - 1, index + 2 and count; MoveItem clamps it. -1 for any other command.
int MoveInsertIndex(UINT command, int index, int count);

} // namespace KivMenu
