#include "KivItem.h"

#include <cstring>

#include "CodeTrans.h"
#include "DebugMode.h"
#include "DummyDataObject.h"
#include "DummyDropTarget.h"

// Every trace line of an item names the item and its list, as "this:<item>/<pidl>".
#define KIV_ITEM_TRACE(format, ...)                                                                \
    debugMode.Printf(format, TraceAddress(this),                                                   \
                     TraceAddress(pidl.Get()) __VA_OPT__(, ) __VA_ARGS__)

namespace {

const char separatorSuffix[] = ".sep.kiv";

// Binds a list below the desktop to its folder; empty when the shell cannot.
OleWrapper<IShellFolder> BindFolder(const OleWrapper<IShellFolder>& desktop, const KivPidl& list) {
    OleWrapper<IShellFolder> bound;
    if (list.IsNull() ||
        FAILED(desktop->BindToObject(list.Get(), nullptr, IID_IShellFolder, bound.PutVoid())))
        bound.Release();
    return bound;
}

// One UI object of a single item of the folder; empty when the folder has none.
template <class T>
OleWrapper<T> UIObjectOf(const OleWrapper<IShellFolder>& folder, HWND owner,
                         const KivPidl& relative, REFIID iid) {
    OleWrapper<T> object;
    if (!folder)
        return object;
    LPCITEMIDLIST items[1] = {relative.Get()};
    if (FAILED(folder->GetUIObjectOf(owner, 1, items, iid, nullptr, object.PutVoid())))
        object.Release();
    return object;
}

// Attributes of a child of a folder that is already bound, as SHGetFileInfo with
// SHGFI_ATTRIBUTES gives them (it asks the parent folder for every attribute): the same answer
// without binding the parent folder again for each item, which costs more the larger the folder
// is. False when the folder cannot tell.
bool ChildAttributesOf(const OleWrapper<IShellFolder>& folder, const KivPidl& relative,
                       ULONG& attributes) {
    if (!folder || relative.IsNull())
        return false;
    LPCITEMIDLIST items[1] = {relative.Get()};
    ULONG asked = 0xFFFFFFFF;
    if (FAILED(folder->GetAttributesOf(1, items, &asked)))
        return false;
    attributes = asked;
    return true;
}

// Attributes of an absolute list; false when the shell cannot tell.
bool AttributesOf(const KivPidl& list, ULONG& attributes) {
    SHFILEINFOA info{};
    if (!SHGetFileInfoA(reinterpret_cast<LPCSTR>(list.Get()), 0, &info, sizeof(info),
                        SHGFI_PIDL | SHGFI_ATTRIBUTES))
        return false;
    attributes = info.dwAttributes;
    return true;
}

// A shortcut's stored list of a file-system target can be stale or abridged (some shells store
// a simple list that names the path but cannot be bound, and report a deleted target with
// made-up attributes). The path it names is parsed afresh, so the list is the one the desktop
// gives for that path today; a target that is gone fails here. Lists of objects outside the
// file system are kept as stored, and so is the desktop's empty list, whose path would name
// only the directory that holds the desktop's files.
bool ReparseFileSystemTarget(KivPidl& target) {
    WCHAR path[MAX_PATH];
    if (target.GetCount() == 0 || !SHGetPathFromIDListW(target.Get(), path) || path[0] == L'\0')
        return true;
    OleWrapper<IShellFolder> desktop = KivPidl::GetDesktopFolder();
    KivPidl parsed;
    ULONG eaten = 0;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, path, &eaten, parsed.Put(), nullptr)) ||
        parsed.IsNull())
        return false;
    target = std::move(parsed);
    return true;
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::string GetDisplayNameOf(OleWrapper<IShellFolder> folder, const KivPidl& relative,
                             DWORD flags) {
    STRRET name{};
    if (!folder || FAILED(folder->GetDisplayNameOf(relative.Get(), flags, &name)))
        throw KivItemException("Error IshellFolder_GetDisplayNameOf");
    switch (name.uType) {
    case STRRET_WSTR: {
        // The wide text belongs to us now: free it whether or not the conversion works.
        struct WideText {
            LPWSTR text;
            ~WideText() {
                if (text)
                    KivPidl::IMallocFree(text);
            }
        } wide{name.pOleStr};
        if (!wide.text)
            return std::string();
        WideCharToMultiByteWrapper narrow(wide.text);
        return narrow.Get();
    }
    case STRRET_OFFSET:
        if (relative.IsNull())
            return std::string();
        return std::string(reinterpret_cast<const char*>(relative.Get()) + name.uOffset);
    case STRRET_CSTR:
        return std::string(name.cStr, strnlen(name.cStr, sizeof(name.cStr)));
    default:
        return std::string();
    }
}

KivItem::KivItem() : x(-1), y(-1), type(ItemNone) {
    KIV_ITEM_TRACE("KivItem::KivItem(this:%llx/%llx):1");
}

KivItem::KivItem(const KivItem& other)
    : x(other.x), y(other.y), type(other.type), displayName(other.displayName), pidl(other.pidl),
      parentPidl(other.parentPidl), relativePidl(other.relativePidl),
      parentFolder(other.parentFolder), parsingName(other.parsingName),
      folderPidl(other.folderPidl), folderParent(other.folderParent), folderPath(other.folderPath),
      folder(other.folder) {
    KIV_ITEM_TRACE("KivItem::KivItem(this:%llx/%llx, const KivItem&:%llx):1", TraceAddress(&other));
}

KivItem& KivItem::operator=(const KivItem& other) {
    KIV_ITEM_TRACE("KivItem::operator=(this:%llx/%llx, const KivItem&:%llx/%llx):1",
                   TraceAddress(&other), TraceAddress(other.pidl.Get()));
    if (this != &other) {
        x = other.x;
        y = other.y;
        type = other.type;
        displayName = other.displayName;
        pidl = other.pidl;
        parentPidl = other.parentPidl;
        relativePidl = other.relativePidl;
        parentFolder = other.parentFolder;
        parsingName = other.parsingName;
        folderPidl = other.folderPidl;
        folderParent = other.folderParent;
        folderPath = other.folderPath;
        folder = other.folder;
    }
    KIV_ITEM_TRACE("KivItem::operator=(this:%llx/%llx, const KivItem&:%llx/%llx):2",
                   TraceAddress(&other), TraceAddress(other.pidl.Get()));
    return *this;
}

KivItem::KivItem(KivItem&& other) noexcept
    : x(other.x), y(other.y), type(other.type), displayName(std::move(other.displayName)),
      pidl(std::move(other.pidl)), parentPidl(std::move(other.parentPidl)),
      relativePidl(std::move(other.relativePidl)), parentFolder(std::move(other.parentFolder)),
      parsingName(std::move(other.parsingName)), folderPidl(std::move(other.folderPidl)),
      folderParent(std::move(other.folderParent)), folderPath(std::move(other.folderPath)),
      folder(std::move(other.folder)) {
    other.type = ItemNone;
}

KivItem& KivItem::operator=(KivItem&& other) noexcept {
    if (this != &other) {
        x = other.x;
        y = other.y;
        type = other.type;
        displayName = std::move(other.displayName);
        pidl = std::move(other.pidl);
        parentPidl = std::move(other.parentPidl);
        relativePidl = std::move(other.relativePidl);
        parentFolder = std::move(other.parentFolder);
        parsingName = std::move(other.parsingName);
        folderPidl = std::move(other.folderPidl);
        folderParent = std::move(other.folderParent);
        folderPath = std::move(other.folderPath);
        folder = std::move(other.folder);
        other.type = ItemNone;
    }
    return *this;
}

KivItem::~KivItem() {
    KIV_ITEM_TRACE("KivItem::~KivItem(this:%llx/%llx):1");
}

void KivItem::SetPathId(const KivPidl& absolute) {
    KIV_ITEM_TRACE("KivItem::SetPathId(this:%llx/%llx, const KivPidl& ):1");
    pidl = absolute.Clone();
    parentPidl = pidl.GetParent();
    relativePidl = pidl.GetLast();
    KIV_ITEM_TRACE("KivItem::SetPathId(this:%llx/%llx, const KivPidl& ):2");
    OleWrapper<IShellFolder> desktop = KivPidl::GetDesktopFolder();
    if (parentPidl.IsNull()) {
        parentFolder = desktop;
    } else {
        parentFolder = BindFolder(desktop, parentPidl);
        if (!parentFolder)
            throw KivItemException("Error KivItem::SetPathId");
    }
    KIV_ITEM_TRACE("KivItem::SetPathId(this:%llx/%llx, const KivPidl& ):3");
    SetPathIdHelper();
    KIV_ITEM_TRACE("KivItem::SetPathId(this:%llx/%llx, const KivPidl& ):4");
    SetPathIdHelper2();
    KIV_ITEM_TRACE("KivItem::SetPathId(this:%llx/%llx, const KivPidl& ):5");
}

void KivItem::SetPathId(const KivItem& parent, KivPidl child) {
    KIV_ITEM_TRACE("KivItem::SetPathId(this:%llx/%llx, const KivItem&, const KivPidl& ):1");
    pidl = KivPidl::Concat(parent.folderPidl, child);
    parentPidl = parent.folderPidl.Clone();
    relativePidl = std::move(child);
    parentFolder = parent.folder;
    KIV_ITEM_TRACE("KivItem::SetPathId(this:%llx/%llx, const KivItem&, const KivPidl& ):2");
    SetPathIdHelper();
    KIV_ITEM_TRACE("KivItem::SetPathId(this:%llx/%llx, const KivItem&, const KivPidl& ):3");
    SetPathIdHelper2();
    KIV_ITEM_TRACE("KivItem::SetPathId(this:%llx/%llx, const KivItem&, const KivPidl& ):4");
}

bool KivItem::IsSeparatorName(const std::string& parsingName) {
    // Byte-wise is safe on Shift-JIS text: the suffix starts with '.', which is never the trail
    // byte of a double-byte character, so the match cannot begin inside one.
    const size_t length = sizeof(separatorSuffix) - 1;
    if (parsingName.size() < length)
        return false;
    const char* tail = parsingName.c_str() + parsingName.size() - length;
    for (size_t i = 0; i < length; ++i)
        if (AsciiLower(tail[i]) != separatorSuffix[i])
            return false;
    return true;
}

unsigned char KivItem::TypeOfAttributes(ULONG attributes) {
    if (attributes & SFGAO_GHOSTED)
        return ItemFile;
    if (!(attributes & SFGAO_FILESYSTEM))
        return (attributes & SFGAO_FOLDER) ? ItemVirtualFolder : ItemVirtual;
    if (!(attributes & SFGAO_LINK))
        return (attributes & SFGAO_FOLDER) ? ItemFolder : ItemFile;
    return ItemLink;
}

unsigned char KivItem::TypeOfLinkTarget(ULONG targetAttributes) {
    if (targetAttributes & SFGAO_GHOSTED)
        return ItemLink;
    return (targetAttributes & SFGAO_FOLDER) ? ItemFolderLink : ItemLink;
}

void KivItem::SetPathIdHelper() {
    KIV_ITEM_TRACE("KivItem::SetPathIdHelper(this:%llx/%llx):1");
    displayName = GetDisplayNameOf(parentFolder, relativePidl, SHGDN_INFOLDER);
    KIV_ITEM_TRACE("KivItem::SetPathIdHelper(this:%llx/%llx):2:%s", displayName.c_str());
    parsingName = GetDisplayNameOf(parentFolder, relativePidl, SHGDN_FORPARSING);
    KIV_ITEM_TRACE("KivItem::SetPathIdHelper(this:%llx/%llx):3:%s", parsingName.c_str());
    if (IsSeparatorName(parsingName)) {
        type = ItemSeparator;
        folderPidl.Free();
        return;
    }
    KIV_ITEM_TRACE("KivItem::SetPathIdHelper(this:%llx/%llx):4");
    ULONG attributes = 0;
    if (!ChildAttributesOf(parentFolder, relativePidl, attributes) &&
        !AttributesOf(pidl, attributes))
        throw KivItemException("Error SHGetFileInfo");
    KIV_ITEM_TRACE("KivItem::SetPathIdHelper(this:%llx/%llx):5:%lx", attributes);
    type = TypeOfAttributes(attributes);
    if (!(attributes & SFGAO_GHOSTED)) {
        KIV_ITEM_TRACE("KivItem::SetPathIdHelper(this:%llx/%llx):6");
        if (attributes & SFGAO_FILESYSTEM)
            KIV_ITEM_TRACE("KivItem::SetPathIdHelper(this:%llx/%llx):7");
    }
    if (type == ItemLink)
        ReadLink();
    else if (type == ItemFolder || type == ItemVirtualFolder)
        folderPidl = pidl.Clone();
    else
        folderPidl.Free();
}

void KivItem::ReadLink() {
    unsigned char linkType = ItemLink;
    KIV_ITEM_TRACE("KivItem::SetPathIdHelper(this:%llx/%llx):8");
    OleWrapper<IShellLinkA> link;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   link.PutVoid())) &&
        link) {
        KIV_ITEM_TRACE("KivItem::SetPathIdHelper(this:%llx/%llx):9");
        OleWrapper<IPersistFile> file;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.PutVoid())) && file) {
            KIV_ITEM_TRACE("KivItem::SetPathIdHelper(this:%llx/%llx):10");
            HRESULT loaded = E_FAIL;
            try {
                MultiByteToWideCharWrapper wide(parsingName.c_str());
                loaded = file->Load(wide, STGM_READ);
            } catch (const CodeTransWrapperException&) {
                // A name that cannot be converted is a shortcut that cannot be read.
            }
            if (SUCCEEDED(loaded)) {
                KIV_ITEM_TRACE("KivItem::SetPathIdHelper(this:%llx/%llx):11");
                if (SUCCEEDED(link->GetIDList(folderPidl.Put())) && !folderPidl.IsNull()) {
                    KIV_ITEM_TRACE("KivItem::SetPathIdHelper(this:%llx/%llx):12");
                    ULONG attributes = 0;
                    if (ReparseFileSystemTarget(folderPidl) &&
                        AttributesOf(folderPidl, attributes)) {
                        KIV_ITEM_TRACE("KivItem::SetPathIdHelper(this:%llx/%llx):13:%lx",
                                       attributes);
                        if (!(attributes & SFGAO_GHOSTED)) {
                            KIV_ITEM_TRACE("KivItem::SetPathIdHelper(this:%llx/%llx):14");
                            linkType = TypeOfLinkTarget(attributes);
                            if (linkType != ItemFolderLink)
                                KIV_ITEM_TRACE("KivItem::SetPathIdHelper(this:%llx/%llx):15");
                        }
                    }
                }
            }
        }
    }
    type = linkType;
    if (type != ItemFolderLink)
        folderPidl.Free();
}

void KivItem::SetPathIdHelper2() {
    KIV_ITEM_TRACE("KivItem::SetPathIdHelper2(this:%llx/%llx):1");
    OleWrapper<IShellFolder> desktop = KivPidl::GetDesktopFolder();
    folder = BindFolder(desktop, folderPidl);
    if (!folder)
        folder = desktop;
    KIV_ITEM_TRACE("KivItem::SetPathIdHelper2(this:%llx/%llx):2");
    folderParent.Release();
    if (!folderPidl.IsNull())
        folderParent = BindFolder(desktop, folderPidl.GetParent());
    if (!folderParent)
        folderParent = desktop;
    KIV_ITEM_TRACE("KivItem::SetPathIdHelper2(this:%llx/%llx):3");
    if (!folderPidl.IsNull())
        folderPath = GetDisplayNameOf(folderParent, folderPidl.GetLast(), SHGDN_FORPARSING);
    KIV_ITEM_TRACE("KivItem::SetPathIdHelper2(this:%llx/%llx):4:%s", folderPath.c_str());
}

short KivItem::CompareIDs(const KivItem& other) const {
    KIV_ITEM_TRACE("KivItem::CompareIDs(this:%llx/%llx, const KivItem& ):1");
    HRESULT hr;
    if (parentFolder && parentFolder.Get() == other.parentFolder.Get()) {
        KIV_ITEM_TRACE("KivItem::CompareIDs(this:%llx/%llx, const KivItem& ):3");
        hr = parentFolder->CompareIDs(0, relativePidl.Get(), other.relativePidl.Get());
    } else {
        KIV_ITEM_TRACE("KivItem::CompareIDs(this:%llx/%llx, const KivItem& ):2");
        hr = KivPidl::GetDesktopFolder()->CompareIDs(0, pidl.Get(), other.pidl.Get());
    }
    if (FAILED(hr))
        throw KivItemException("Error KivItem::CompareIDs");
    const short result = static_cast<short>(HRESULT_CODE(hr));
    KIV_ITEM_TRACE("KivItem::CompareIDs(this:%llx/%llx, const KivItem& ):4:%x",
                   static_cast<unsigned>(static_cast<unsigned short>(result)));
    return result;
}

OleWrapper<IDataObject> KivItem::GetDataObject(HWND owner) const {
    KIV_ITEM_TRACE("KivItem::GetDataObject(this:%llx/%llx, HWND ):1");
    OleWrapper<IDataObject> data =
        UIObjectOf<IDataObject>(parentFolder, owner, relativePidl, IID_IDataObject);
    if (!data) {
        DummyDataObject* dummy = new DummyDataObject;
        dummy->AddRef();
        data.Reset(dummy);
    }
    KIV_ITEM_TRACE("KivItem::GetDataObject(this:%llx/%llx, HWND ):2");
    return data;
}

OleWrapper<IDropTarget> KivItem::GetDropTarget(HWND owner) const {
    KIV_ITEM_TRACE("KivItem::GetDropTarget(this:%llx/%llx, HWND ):1");
    // The desktop itself takes drops through the folder that holds its files.
    if ((type == ItemVirtualFolder || type == ItemFolderLink) &&
        folderPidl == KivPidl(owner, CSIDL_DESKTOP)) {
        KIV_ITEM_TRACE("KivItem::GetDropTarget(this:%llx/%llx, HWND ):2");
        KivItem desktopDirectory;
        desktopDirectory.SetPathId(KivPidl(owner, CSIDL_DESKTOPDIRECTORY));
        return desktopDirectory.GetDropTarget(owner);
    }
    KIV_ITEM_TRACE("KivItem::GetDropTarget(this:%llx/%llx, HWND ):3");
    OleWrapper<IDropTarget> target =
        UIObjectOf<IDropTarget>(parentFolder, owner, relativePidl, IID_IDropTarget);
    if (!target) {
        DummyDropTarget* dummy = new DummyDropTarget;
        dummy->AddRef();
        target.Reset(dummy);
    }
    return target;
}

OleWrapper<IContextMenu> KivItem::GetContextMenu(HWND owner) const {
    OleWrapper<IContextMenu> menu =
        UIObjectOf<IContextMenu>(parentFolder, owner, relativePidl, IID_IContextMenu);
    if (!menu)
        throw KivItemException("Error IContextMenu");
    return menu;
}

void KivItem::InvokeDefault(HWND owner, const char* directory) const {
    ContextMenuWrapper menu;
    menu.SetContextMenu(GetContextMenu(owner));
    int command = -1;
    if (HMENU popup = CreatePopupMenu()) {
        menu.QueryContextMenu(popup, 0, 1, 65000, CMF_DEFAULTONLY);
        command = static_cast<int>(GetMenuDefaultItem(popup, FALSE, 0));
        DestroyMenu(popup);
    }
    if (command == -1) {
        SHELLEXECUTEINFOA execute{};
        execute.cbSize = sizeof(execute);
        execute.fMask = SEE_MASK_IDLIST;
        execute.hwnd = owner;
        execute.lpVerb = "open";
        execute.lpDirectory = directory;
        execute.nShow = SW_SHOWNORMAL;
        execute.lpIDList = folderPidl.IsNull() ? pidl.Get() : folderPidl.Get();
        ShellExecuteExA(&execute);
    } else {
        CMINVOKECOMMANDINFO invoke{};
        invoke.cbSize = sizeof(invoke);
        invoke.fMask = 0;
        invoke.hwnd = owner;
        invoke.lpVerb = MAKEINTRESOURCEA(command - 1);
        invoke.lpParameters = nullptr;
        invoke.lpDirectory = directory;
        invoke.nShow = SW_SHOWNORMAL;
        menu.InvokeCommand(&invoke);
    }
}

OleWrapper<IEnumIDList> KivItem::GetEnumIDList(HWND owner, DWORD flags) const {
    KIV_ITEM_TRACE("KivItem::GetEnumIDList(this:%llx/%llx, HWND, DWORD:%d):1",
                   static_cast<int>(flags));
    OleWrapper<IEnumIDList> items;
    if (!folder || FAILED(folder->EnumObjects(owner, flags, items.Put())))
        throw KivItemException("Error KivItem::GetEnumIDList");
    KIV_ITEM_TRACE("KivItem::GetEnumIDList(this:%llx/%llx, HWND, DWORD ):2");
    return items;
}

int KivItem::GetIconImage(HIMAGELIST& list, bool smallIcon) const {
    KIV_ITEM_TRACE("KivItem::GetIconImage(this:%llx/%llx, HIMAGELIST& ,bool:%d):1",
                   static_cast<int>(smallIcon));
    SHFILEINFOA info{};
    UINT flags = SHGFI_PIDL | SHGFI_SYSICONINDEX;
    if (smallIcon)
        flags |= SHGFI_SMALLICON;
    list = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA(reinterpret_cast<LPCSTR>(pidl.Get()), 0, &info, sizeof(info), flags));
    KIV_ITEM_TRACE("KivItem::GetIconImage(this:%llx,%llx, HIMAGELIST& ,bool):2:%d", info.iIcon);
    return info.iIcon;
}

std::string KivItem::GetFolderIdName() const {
    KIV_ITEM_TRACE("KivItem::GetFolderIdName(this:%llx/%llx):1");
    const std::string name = GetDisplayNameOf(folderParent, folderPidl.GetLast(), SHGDN_INFOLDER);
    KIV_ITEM_TRACE("KivItem::GetFolderIdName(this:%llx/%llx):2:%s", name.c_str());
    return name;
}

void ContextMenuWrapper::SetContextMenu(const OleWrapper<IContextMenu>& menu) {
    ReleaseAll();
    contextMenu = menu;
    if (!contextMenu)
        return;
    if (FAILED(contextMenu->QueryInterface(IID_IContextMenu2, contextMenu2.PutVoid()))) {
        contextMenu2.Release();
        return;
    }
    if (contextMenu2 &&
        FAILED(contextMenu->QueryInterface(IID_IContextMenu3, contextMenu3.PutVoid())))
        contextMenu3.Release();
}

void ContextMenuWrapper::ReleaseAll() {
    contextMenu3.Release();
    contextMenu2.Release();
    contextMenu.Release();
}

HRESULT ContextMenuWrapper::QueryContextMenu(HMENU menu, UINT index, UINT firstCommand,
                                             UINT lastCommand, UINT flags) {
    if (contextMenu3)
        return contextMenu3->QueryContextMenu(menu, index, firstCommand, lastCommand, flags);
    if (contextMenu2)
        return contextMenu2->QueryContextMenu(menu, index, firstCommand, lastCommand, flags);
    if (contextMenu)
        return contextMenu->QueryContextMenu(menu, index, firstCommand, lastCommand, flags);
    return 0;
}

HRESULT ContextMenuWrapper::InvokeCommand(CMINVOKECOMMANDINFO* info) {
    if (contextMenu3)
        return contextMenu3->InvokeCommand(info);
    if (contextMenu2)
        return contextMenu2->InvokeCommand(info);
    if (contextMenu)
        return contextMenu->InvokeCommand(info);
    return 0;
}

HRESULT ContextMenuWrapper::HandleMenuMsg(UINT message, WPARAM wParam, LPARAM lParam) {
    if (contextMenu3)
        return contextMenu3->HandleMenuMsg(message, wParam, lParam);
    if (contextMenu2)
        return contextMenu2->HandleMenuMsg(message, wParam, lParam);
    return 0;
}

HRESULT ContextMenuWrapper::HandleMenuMsg2(UINT message, WPARAM wParam, LPARAM lParam,
                                           LRESULT* result) {
    if (contextMenu3)
        return contextMenu3->HandleMenuMsg2(message, wParam, lParam, result);
    if (result)
        *result = 0;
    return 0;
}
