#include "DroppedFiles.h"

#include <shellapi.h>

#include "CodeTrans.h"
#include "KivPidl.h"

namespace {

// The one owner of a medium that GetData filled.
class StorageMedium {
public:
    StorageMedium() = default;
    StorageMedium(const StorageMedium&) = delete;
    StorageMedium& operator=(const StorageMedium&) = delete;
    ~StorageMedium() {
        if (filled)
            ReleaseStgMedium(&medium);
    }
    STGMEDIUM* Put() { return &medium; }
    void SetFilled() { filled = true; }
    const STGMEDIUM& Get() const { return medium; }

private:
    STGMEDIUM medium{};
    bool filled = false;
};

} // namespace

std::optional<std::vector<std::string>> GetDroppedFiles(IDataObject* data) {
    if (!data)
        return std::nullopt;
    FORMATETC request = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    StorageMedium medium;
    if (data->GetData(&request, medium.Put()) != S_OK)
        return std::nullopt;
    medium.SetFilled();
    if (medium.Get().tymed != TYMED_HGLOBAL || !medium.Get().hGlobal)
        return std::nullopt;
    // The list stays the medium's: it is read here, never finished with DragFinish.
    HDROP drop = static_cast<HDROP>(medium.Get().hGlobal);
    std::vector<std::string> names;
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    names.reserve(count);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileA(drop, i, nullptr, 0);
        std::string name(length + 1, '\0');
        const UINT copied = DragQueryFileA(drop, i, name.data(), length + 1);
        name.resize(copied);
        // A list with no names may still report one empty entry; it names no file.
        if (!name.empty())
            names.push_back(std::move(name));
    }
    return names;
}

bool LiesInFolder(const std::string& path, const KivPidl& folder) {
    try {
        return KivPidl(path.c_str()).GetParent() == folder;
    } catch (const KivPidlException&) {
        return false;
    } catch (const CodeTransWrapperException&) {
        return false;
    }
}

OleWrapper<IDataObject> DataObjectOfFiles(HWND owner, const std::vector<std::string>& paths) {
    OleWrapper<IDataObject> data;
    if (paths.empty())
        return data;
    try {
        std::vector<KivPidl> lists;
        lists.reserve(paths.size());
        for (const std::string& path : paths)
            lists.push_back(KivPidl(path.c_str()));
        // The folder of the first name: the desktop for a name directly below it.
        OleWrapper<IShellFolder> folder = KivPidl::GetDesktopFolder();
        const KivPidl parent = lists.front().GetParent();
        if (!parent.IsNull()) {
            OleWrapper<IShellFolder> bound;
            if (FAILED(folder->BindToObject(parent.Get(), nullptr, IID_IShellFolder,
                                            bound.PutVoid())) ||
                !bound)
                return data;
            folder = bound;
        }
        std::vector<KivPidl> children;
        std::vector<LPCITEMIDLIST> items;
        children.reserve(lists.size());
        for (const KivPidl& list : lists) {
            children.push_back(list.GetLast());
            items.push_back(children.back().Get());
        }
        if (FAILED(folder->GetUIObjectOf(owner, static_cast<UINT>(items.size()), items.data(),
                                         IID_IDataObject, nullptr, data.PutVoid())))
            data.Release();
    } catch (const KivPidlException&) {
        data.Release();
    } catch (const CodeTransWrapperException&) {
        data.Release();
    }
    return data;
}
