#include "DropRules.h"

namespace {

constexpr DWORD modifiers = MK_SHIFT | MK_CONTROL;

// A plain drag (neither Shift nor Ctrl) becomes a request for shortcuts.
DWORD AskForShortcuts(DWORD keys) {
    return (keys & modifiers) ? keys : keys | modifiers;
}

} // namespace

DragKeys DragEnterKeys(bool onBackground, DWORD keys) {
    if (!onBackground)
        return {false, keys};
    return {true, (keys & MK_LBUTTON) ? AskForShortcuts(keys) : keys};
}

DragKeys DragOverKeys(bool onBackground, DWORD keys) {
    if (!onBackground || !(keys & MK_LBUTTON))
        return {false, keys};
    return {true, AskForShortcuts(keys)};
}

bool DropGoesToFolder(bool onBackground, bool dropOnFolder) {
    return onBackground && dropOnFolder;
}

DropDecision DecideDrop(bool onBackground, bool dropOnFolder, DWORD keys, size_t fileCount,
                        bool firstInWindowFolder) {
    if (!DropGoesToFolder(onBackground, dropOnFolder))
        return {DropAction::PassOn, keys};
    // The button is already up when OLE drops, so the keys are completed without looking at it.
    keys = AskForShortcuts(keys);
    if (fileCount == 0)
        return {DropAction::PassOn, keys};
    return {firstInWindowFolder ? DropAction::Reorder : DropAction::ReserveAndPassOn, keys};
}

DWORD DropFilesKeys(SHORT shiftState, SHORT controlState) {
    DWORD keys = MK_LBUTTON;
    if (shiftState < 0)
        keys |= MK_SHIFT;
    if (controlState < 0)
        keys |= MK_CONTROL;
    return keys;
}

bool DropFilesGoesOn(HRESULT enterResult, DWORD effect) {
    return SUCCEEDED(enterResult) && effect != DROPEFFECT_NONE;
}
