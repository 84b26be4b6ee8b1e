// The context menu of an icon window: the shell's entries of the item (or of the window's folder)
// followed by the program's commands, and what each command does.
#include "ContextMenu.h"

#include <span>

#include "Companion.h"
#include "FrameMessages.h"
#include "KivWindow.h"
#include "NApp.h"
#include "NMenu.h"
#include "NewItems.h"
#include "PathUtility.h"

namespace KivMenu {

namespace {

Entry CommandOf(UINT id) {
    return Entry{Entry::CommandEntry, id, CommandText(id), {}};
}

Entry LineEntry() {
    return Entry{Entry::Line, 0, nullptr, {}};
}

Entry SubMenuOf(const char* text, std::vector<Entry> children) {
    return Entry{Entry::SubMenu, 0, text, std::move(children)};
}

std::vector<Entry> MoveCommands() {
    return {CommandOf(MoveFirst), CommandOf(MoveUp), CommandOf(MoveDown), CommandOf(MoveLast)};
}

} // namespace

const char* CommandText(UINT id) {
    switch (id) {
    case WindowProperty:
    case ItemWindowProperty:
        return "ウィンドウのプロパティ";
    case Exit:
        return "ＫＩＶの終了";
    case Help:
        return "ヘルプ";
    case Version:
        return "バージョン情報";
    case NewShortcut:
        return "ショートカット";
    case NewFolder:
        return "フォルダ";
    case NewSeparator:
        return "セパレーター";
    case NewDesktopShortcut:
        return "デスクトップ";
    case NewTopWindow:
        return "トップウィンドウ";
    case Rename:
        return "名前の変更...";
    case DefaultProperty:
        return "デフォルトのプロパティ";
    case DeleteSeparator:
        return "セパレーターの削除";
    case MoveFirst:
        return "先頭へ";
    case MoveUp:
        return "１つ前へ";
    case MoveDown:
        return "１つ後へ";
    case MoveLast:
        return "最後へ";
    default:
        return nullptr;
    }
}

Target TargetOf(bool hasItem, unsigned char itemType) {
    if (!hasItem)
        return Target::Background;
    switch (itemType) {
    case KivItem::ItemSeparator:
        return Target::Separator;
    case KivItem::ItemFolder:
    case KivItem::ItemVirtualFolder:
    case KivItem::ItemFolderLink:
        return Target::FolderItem;
    default:
        return Target::Item;
    }
}

std::vector<Entry> ProgramEntries(Target target) {
    std::vector<Entry> entries;
    switch (target) {
    case Target::Item:
    case Target::FolderItem:
        entries.push_back(CommandOf(Rename));
        entries.push_back(SubMenuOf("アイコンの移動", MoveCommands()));
        if (target == Target::FolderItem)
            entries.push_back(CommandOf(ItemWindowProperty));
        return entries;
    case Target::Separator:
        entries.push_back(CommandOf(DeleteSeparator));
        entries.push_back(SubMenuOf("セパレーターの移動", MoveCommands()));
        break;
    case Target::Background:
        break;
    }
    entries.push_back(CommandOf(WindowProperty));
    entries.push_back(SubMenuOf("新規作成", {CommandOf(NewShortcut), CommandOf(NewFolder),
                                             CommandOf(NewDesktopShortcut), CommandOf(NewSeparator),
                                             CommandOf(NewTopWindow)}));
    entries.push_back(SubMenuOf("その他", {CommandOf(DefaultProperty), LineEntry(), CommandOf(Exit),
                                           LineEntry(), CommandOf(Help), CommandOf(Version)}));
    return entries;
}

int MoveInsertIndex(UINT command, int index, int count) {
    switch (command) {
    case MoveFirst:
        return 0;
    case MoveUp:
        return index - 1;
    case MoveDown:
        return index + 2;
    case MoveLast:
        return count;
    default:
        return -1;
    }
}

} // namespace KivMenu

namespace {

// The switches of the companion programs.
const char propertySwitch[] = "/QpuvaoTgduauaz5579";
const char renameSwitch[] = "/HriSywjfw7747";
const char aboutSwitch[] = "/SyjFetpu9861";

// Appends the entries, building each sub-menu whole before it is appended; a sub-menu that
// cannot be appended is freed here, since only an appended one goes with its parent.
void AppendEntries(NMenuBase& menu, std::span<const KivMenu::Entry> entries) {
    for (const KivMenu::Entry& entry : entries) {
        switch (entry.kind) {
        case KivMenu::Entry::CommandEntry:
            menu.AppendMenu(MF_STRING, entry.id, entry.text);
            break;
        case KivMenu::Entry::Line:
            menu.AppendMenu(MF_SEPARATOR, 0, nullptr);
            break;
        case KivMenu::Entry::SubMenu: {
            NSubMenu sub;
            try {
                AppendEntries(sub, entry.children);
                menu.AppendSubMenu(MF_POPUP, sub, entry.text);
            } catch (...) {
                sub.Destroy();
                throw;
            }
            break;
        }
        }
    }
}

NWnd* FrameOf(const NWnd& window) {
    NApp* app = window.GetApp();
    return app ? app->mainWindow : nullptr;
}

HWND FrameHandle(const NWnd& window) {
    NWnd* frame = FrameOf(window);
    return frame ? frame->GetHandle() : nullptr;
}

// Closes the handle of a file that was just created.
class CreatedFile {
public:
    explicit CreatedFile(HANDLE handle) : handle(handle) {}
    CreatedFile(const CreatedFile&) = delete;
    CreatedFile& operator=(const CreatedFile&) = delete;
    ~CreatedFile() {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    bool Valid() const { return handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle;
};

} // namespace

void KivWindow::OnItemRButtonUp(WPARAM keys, POINT point, int index) {
    if ((keys & (MK_SHIFT | MK_CONTROL)) == (MK_SHIFT | MK_CONTROL))
        index = -1;
    menuPoint = point;
    menuIndex = index;
    NPopupMenu menu;
    BuildContextMenu(menu, index);
    // An item that is not set up yet has no menu at all; an empty menu is not shown.
    if (menu.GetMenuItemCount() <= 0)
        return;
    const POINT screen = ClientToScreen(point);
    menu.TrackPopupMenu(TPM_RIGHTBUTTON, screen.x, screen.y, window);
}

void KivWindow::BuildContextMenu(NPopupMenu& menu, int index) {
    const bool hasItem = index >= 0 && index < static_cast<int>(items.size());
    const KivItem* item = hasItem ? &items[static_cast<size_t>(index)] : nullptr;
    if (item && item->type == KivItem::ItemNone)
        return;
    const KivMenu::Target target = KivMenu::TargetOf(hasItem, item ? item->type : 0);
    const bool onFolder =
        target == KivMenu::Target::Background || target == KivMenu::Target::Separator;
    const KivItem& shellTarget = onFolder ? folderItem : *item;

    contextMenu.ReleaseAll();
    try {
        contextMenu.SetContextMenu(shellTarget.GetContextMenu(FrameHandle(*this)));
    } catch (const KivItemException&) {
        // An object without a shell menu still gets the program's commands.
    }
    contextMenu.QueryContextMenu(menu.GetHandle(), 0, KivMenu::FirstShellCommand,
                                 KivMenu::LastShellCommand, CMF_NORMAL);
    // One line between the shell's entries and the program's, none when the shell added nothing
    // (nor a second one after a shell menu that ends with its own line).
    const int shellCount = menu.GetMenuItemCount();
    if (shellCount > 0 &&
        !(GetMenuState(menu.GetHandle(), static_cast<UINT>(shellCount - 1), MF_BYPOSITION) &
          MF_SEPARATOR))
        menu.AppendMenu(MF_SEPARATOR, 0, nullptr);
    AppendEntries(menu, KivMenu::ProgramEntries(target));
}

void KivWindow::OnCommand(WORD id, WORD) {
    if (id == 0 || id > KivMenu::LastCommand)
        return;
    NWnd* frame = FrameOf(*this);
    if (id <= KivMenu::LastShellCommand) {
        CMINVOKECOMMANDINFO invoke{};
        invoke.cbSize = sizeof(invoke);
        invoke.fMask = 0;
        invoke.hwnd = nullptr;
        invoke.lpVerb = MAKEINTRESOURCEA(id - 1);
        invoke.nShow = SW_SHOWDEFAULT;
        contextMenu.InvokeCommand(&invoke);
    } else if (id == KivMenu::Exit) {
        if (frame)
            frame->DestroyWindow();
        return;
    } else {
        try {
            RunMenuCommand(id);
        } catch (...) {
            if (frame)
                frame->PostMessage(UM_HIDEALL, 0, 0);
            throw;
        }
    }
    if (frame)
        frame->PostMessage(UM_HIDEALL, 0, 0);
}

void KivWindow::RunMenuCommand(UINT id) {
    const char* folder = folderItem.folderPath.c_str();
    const int count = static_cast<int>(items.size());
    // The item the menu was opened on; the ids that need one do nothing without it.
    const KivItem* item =
        menuIndex >= 0 && menuIndex < count ? &items[static_cast<size_t>(menuIndex)] : nullptr;
    switch (id) {
    case KivMenu::WindowProperty:
        LaunchCompanion("KivProp.kxe", propertySwitch, dataDirectory, folder,
                        folderItem.GetFolderIdName().c_str(), nullptr);
        break;
    case KivMenu::ItemWindowProperty:
        if (item && KivMenu::TargetOf(true, item->type) == KivMenu::Target::FolderItem)
            LaunchCompanion("KivProp.kxe", propertySwitch, dataDirectory, item->folderPath.c_str(),
                            item->GetFolderIdName().c_str(), nullptr);
        break;
    case KivMenu::DefaultProperty:
        LaunchCompanion("KivProp.kxe", propertySwitch, dataDirectory, "Default", "デフォルト",
                        nullptr);
        break;
    case KivMenu::Help:
        KivShowHelp(FrameHandle(*this), HELP_FINDER, 0);
        break;
    case KivMenu::Version:
        LaunchCompanion("KivAbout.kxe", aboutSwitch, nullptr);
        break;
    case KivMenu::NewShortcut:
        if (CreateNewShortcut(folder))
            ReserveOrderSlots(menuPoint, 1, "*");
        break;
    case KivMenu::NewFolder: {
        const std::string path = MakeUniqueFileName(folder, "新しいフォルダ", "");
        if (CreateDirectoryA(path.c_str(), nullptr)) {
            ReserveOrderSlots(menuPoint, 1, path.c_str());
            LaunchCompanion("KivRen.kxe", renameSwitch, dataDirectory, path.c_str(), nullptr);
        }
        break;
    }
    case KivMenu::NewSeparator: {
        const std::string path = MakeUniqueFileName(folder, "KIV Separator", "sep.kiv");
        CreatedFile file(
            CreateFileA(path.c_str(), 0, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_ARCHIVE, nullptr));
        if (file.Valid())
            ReserveOrderSlots(menuPoint, 1, path.c_str());
        break;
    }
    case KivMenu::NewDesktopShortcut: {
        const std::string path =
            MakeUniqueFileName(folder, "デスクトップへのショートカット", "lnk");
        if (CreateShellLink(path.c_str(), KivPidl(nullptr, CSIDL_DESKTOP).Get()))
            ReserveOrderSlots(menuPoint, 1, path.c_str());
        break;
    }
    case KivMenu::NewTopWindow:
        if (NWnd* frame = FrameOf(*this))
            frame->SendMessage(UM_ADDTOPWINDOW, 0, 0);
        break;
    case KivMenu::Rename:
        if (item)
            LaunchCompanion("KivRen.kxe", renameSwitch, dataDirectory, item->parsingName.c_str(),
                            nullptr);
        break;
    case KivMenu::DeleteSeparator:
        // Only a separator file is ever deleted here; whether it was still there does not count.
        if (item && item->type == KivItem::ItemSeparator)
            DeleteFileA(item->parsingName.c_str());
        break;
    case KivMenu::MoveFirst:
    case KivMenu::MoveUp:
    case KivMenu::MoveDown:
    case KivMenu::MoveLast:
        if (item)
            MoveItem(KivMenu::MoveInsertIndex(id, menuIndex, count), menuIndex);
        break;
    default:
        break;
    }
}
