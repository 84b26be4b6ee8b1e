#include "NMenu.h"

#include <cstdio>
#include <string>

#include "KivWinBaseException.h"

std::string AppendMenuFailure(HMENU menu, UINT flags, UINT_PTR id, const char* text) {
    // Only the three numbers go through a fixed buffer; the menu text, whatever its length, is
    // appended to a growing string.
    char numbers[64];
    std::snprintf(numbers, sizeof(numbers), "Error NMenuBase::AppendMenu(%08x, %08x, %08x, ",
                  static_cast<unsigned>(reinterpret_cast<UINT_PTR>(menu)), flags,
                  static_cast<unsigned>(id));
    std::string message(numbers);
    message += text ? text : "";
    message += ')';
    return message;
}

BOOL NMenuBase::AppendMenu(UINT flags, UINT_PTR id, const char* text) {
    const BOOL result = ::AppendMenuA(menu, flags, id, text);
    if (!result)
        throw KivWinBaseException(AppendMenuFailure(menu, flags, id, text));
    return result;
}

BOOL NMenuBase::AppendSubMenu(UINT flags, const NSubMenu& subMenu, const char* text) {
    return AppendMenu(flags, reinterpret_cast<UINT_PTR>(subMenu.GetHandle()), text);
}

NSubMenu::NSubMenu() {
    menu = CreateMenu();
    if (!menu)
        throw KivWinBaseException("Error NSubMenu::NSubMenu");
}

BOOL NSubMenu::Destroy() {
    if (!menu)
        return FALSE;
    const BOOL result = DestroyMenu(menu);
    menu = nullptr;
    return result;
}

NPopupMenu::NPopupMenu() {
    menu = CreatePopupMenu();
    if (!menu)
        throw KivWinBaseException("Error NPopupMenu::NPopupMenu");
}

NPopupMenu::~NPopupMenu() {
    if (menu)
        DestroyMenu(menu);
}

BOOL NPopupMenu::TrackPopupMenu(UINT flags, int x, int y, HWND owner) {
    const BOOL result = ::TrackPopupMenu(menu, flags, x, y, 0, owner, nullptr);
    if (!result)
        throw KivWinBaseException("Error NPopupMenu::TrackPopupMenu");
    return result;
}
