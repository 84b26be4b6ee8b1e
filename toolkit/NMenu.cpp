#include "NMenu.h"

#include <cstdio>
#include <string>

#include "KivWinBaseException.h"

BOOL NMenuBase::AppendMenu(UINT flags, UINT_PTR id, const char* text) {
    const BOOL result = ::AppendMenuA(menu, flags, id, text);
    if (!result) {
        // Built to its full length, whatever the length of the menu text.
        const char* shown = text ? text : "";
        const char format[] = "Error NMenuBase::AppendMenu(%08x, %08x, %08x, %s)";
        const auto handleValue = static_cast<unsigned>(reinterpret_cast<UINT_PTR>(menu));
        const auto idValue = static_cast<unsigned>(id);
        const int length = std::snprintf(nullptr, 0, format, handleValue, flags, idValue, shown);
        std::string message(length > 0 ? length : 0, '\0');
        std::snprintf(message.data(), message.size() + 1, format, handleValue, flags, idValue,
                      shown);
        throw KivWinBaseException(message);
    }
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
