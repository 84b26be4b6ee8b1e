// The icon window's decisions during a drop, over plain values: which keys the shell's drop
// target is given, whether the drop goes to the window's own folder, and what a drop there does.
#pragma once
#include <windows.h>

// The keys and folder flag that a drag entering or moving over a cell gives the window.
struct DragKeys {
    bool dropOnFolder; // the drop goes to the window's own folder as a left-button drop
    DWORD keys;        // the key state to hand to the shell's drop target
};

// onBackground: no item under the cursor, or a separator.
// Entering: the background always goes to the folder; a plain left-button drag there asks the
// shell for shortcuts (MK_SHIFT | MK_CONTROL added).
DragKeys DragEnterKeys(bool onBackground, DWORD keys);
// Moving: only a left-button drag over the background goes to the folder, with both keys added
// unless Shift or Ctrl is held; anything else passes unchanged.
DragKeys DragOverKeys(bool onBackground, DWORD keys);

// Whether the drop asks the data object for its files: a drop on the background that goes to the
// folder (dropOnFolder as the last enter or move left it).
bool DropGoesToFolder(bool onBackground, bool dropOnFolder);

enum class DropAction {
    PassOn,           // the shell's drop target gets the drop as it is
    ReserveAndPassOn, // "*" slots are reserved at the drop point, then the shell's target drops
    Reorder,          // the first file already lies in the window's folder: move it in the order
};

struct DropDecision {
    DropAction action;
    DWORD keys; // the key state for the shell's drop target
};

// The drop on a window. fileCount: names in the data object's CF_HDROP (0 when it has none);
// firstInWindowFolder: the first name's parent folder is the window's folder.
DropDecision DecideDrop(bool onBackground, bool dropOnFolder, DWORD keys, size_t fileCount,
                        bool firstInWindowFolder);

// The key state of a drop of the older WM_DROPFILES kind: a left-button drop with the modifier
// keys held now (GetKeyState results of VK_SHIFT and VK_CONTROL).
DWORD DropFilesKeys(SHORT shiftState, SHORT controlState);
// After the enter of such a drop: drop only when it succeeded and left some effect.
bool DropFilesGoesOn(HRESULT enterResult, DWORD effect);
