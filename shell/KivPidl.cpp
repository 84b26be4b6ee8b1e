#include "KivPidl.h"

#include <cstring>

#include "CodeTrans.h"

namespace {

// Set once the process-wide objects are gone, so that a list freed by another static object's
// destructor still reaches the system allocator instead of a destroyed holder.
bool shellObjectsGone = false;

struct ShellObjects {
    // Built in this order on first use; members are destroyed in reverse, so the desktop folder
    // is released before the allocator.
    KivIMalloc allocator;
    KivDesktopFolder desktop;
};

struct ShellObjectsHolder {
    ShellObjects objects;
    ~ShellObjectsHolder() { shellObjectsGone = true; }
};

// Built by the first use of any list or folder, which the start-up makes only after
// OleInitialize; a failure throws to that first caller and the next call tries again. The
// references are released at process exit, after OleUninitialize: the desktop folder and the
// task allocator are in-process objects of the shell, not proxies, so that is safe.
ShellObjects& TheShellObjects() {
    static ShellObjectsHolder holder;
    return holder.objects;
}

IMalloc* Allocator() {
    return shellObjectsGone ? nullptr : TheShellObjects().allocator.Get();
}

LPITEMIDLIST Next(LPCITEMIDLIST p) {
    return reinterpret_cast<LPITEMIDLIST>(reinterpret_cast<BYTE*>(const_cast<LPITEMIDLIST>(p)) +
                                          p->mkid.cb);
}

// Byte offset of the last element; the list has at least one element.
UINT LastOffset(LPCITEMIDLIST list) {
    UINT offset = 0;
    UINT last = 0;
    for (LPCITEMIDLIST p = list; p->mkid.cb != 0; p = Next(p)) {
        last = offset;
        offset += p->mkid.cb;
    }
    return last;
}

// A new list of the given bytes of elements followed by the terminator.
LPITEMIDLIST NewList(const void* elements, UINT bytes) {
    BYTE* memory = static_cast<BYTE*>(KivPidl::IMallocAlloc(bytes + sizeof(USHORT)));
    if (bytes)
        std::memcpy(memory, elements, bytes);
    std::memset(memory + bytes, 0, sizeof(USHORT));
    return reinterpret_cast<LPITEMIDLIST>(memory);
}

} // namespace

KivIMalloc::KivIMalloc() {
    if (FAILED(SHGetMalloc(iMalloc.Put())) || !iMalloc)
        throw KivPidlException("Error SHGetMalloc");
}

KivDesktopFolder::KivDesktopFolder() {
    if (FAILED(SHGetDesktopFolder(desktopFolder.Put())) || !desktopFolder)
        throw KivPidlException("Error KivDesktopFolder::KivDesktopFolder");
}

KivPidl::KivPidl(const char* path) : pidl(nullptr) {
    MultiByteToWideCharWrapper wide(path);
    OleWrapper<IShellFolder> desktop = GetDesktopFolder();
    ULONG eaten = 0;
    const HRESULT hr = desktop->ParseDisplayName(nullptr, nullptr, const_cast<wchar_t*>(wide.Get()),
                                                 &eaten, &pidl, nullptr);
    if (FAILED(hr) || !pidl) {
        Free();
        throw KivPidlException("Error KivPidl::KivPidl ParseDisplayName");
    }
}

KivPidl::KivPidl(HWND owner, int specialFolder) : pidl(nullptr) {
    if (FAILED(SHGetSpecialFolderLocation(owner, specialFolder, &pidl)) || !pidl) {
        Free();
        throw KivPidlException("KivPidl::KivPidl SHGetSpecialFolderLocation");
    }
}

KivPidl::KivPidl(const KivPidl& other) : pidl(nullptr) {
    *this = other.Clone();
}

KivPidl& KivPidl::operator=(const KivPidl& other) {
    if (this != &other)
        *this = other.Clone();
    return *this;
}

KivPidl& KivPidl::operator=(KivPidl&& other) noexcept {
    if (this != &other) {
        Free();
        pidl = other.pidl;
        other.pidl = nullptr;
    }
    return *this;
}

KivPidl KivPidl::Attach(LPITEMIDLIST owned) {
    KivPidl result;
    result.pidl = owned;
    return result;
}

void KivPidl::Free() {
    if (pidl) {
        IMallocFree(pidl);
        pidl = nullptr;
    }
}

UINT KivPidl::GetCount() const {
    UINT count = 0;
    if (pidl)
        for (LPCITEMIDLIST p = pidl; p->mkid.cb != 0; p = Next(p))
            ++count;
    return count;
}

UINT KivPidl::GetSize() const {
    if (!pidl)
        return 0;
    UINT size = sizeof(USHORT);
    for (LPCITEMIDLIST p = pidl; p->mkid.cb != 0; p = Next(p))
        size += p->mkid.cb;
    return size;
}

KivPidl KivPidl::Clone() const {
    if (!pidl)
        return KivPidl();
    return Attach(NewList(pidl, GetSize() - sizeof(USHORT)));
}

KivPidl KivPidl::GetLast() const {
    if (GetCount() < 2)
        return Clone();
    const LPCITEMIDLIST last =
        reinterpret_cast<LPCITEMIDLIST>(reinterpret_cast<const BYTE*>(pidl) + LastOffset(pidl));
    return Attach(NewList(last, last->mkid.cb));
}

KivPidl KivPidl::GetParent() const {
    if (GetCount() < 2)
        return KivPidl();
    return Attach(NewList(pidl, LastOffset(pidl)));
}

KivPidl KivPidl::Concat(const KivPidl& first, const KivPidl& second) {
    if (first.IsNull())
        return second.Clone();
    if (second.IsNull())
        return first.Clone();
    const UINT firstBytes = first.GetSize() - sizeof(USHORT);
    const UINT secondBytes = second.GetSize() - sizeof(USHORT);
    // Each list is read only up to its own terminator.
    BYTE* memory = static_cast<BYTE*>(IMallocAlloc(firstBytes + secondBytes + sizeof(USHORT)));
    std::memcpy(memory, first.pidl, firstBytes);
    std::memcpy(memory + firstBytes, second.pidl, secondBytes + sizeof(USHORT));
    return Attach(reinterpret_cast<LPITEMIDLIST>(memory));
}

bool operator==(const KivPidl& a, const KivPidl& b) {
    if (a.GetCount() != b.GetCount())
        return false;
    if (a.IsNull() && b.IsNull())
        return true;
    if (a.IsNull() || b.IsNull())
        return false;
    const KivPidl parentA = a.GetParent();
    const KivPidl parentB = b.GetParent();
    if (!(parentA == parentB))
        return false;
    OleWrapper<IShellFolder> desktop = KivPidl::GetDesktopFolder();
    HRESULT hr;
    if (!parentA.IsNull()) {
        OleWrapper<IShellFolder> folder;
        if (FAILED(desktop->BindToObject(parentA.Get(), nullptr, IID_IShellFolder,
                                         folder.PutVoid())) ||
            !folder)
            throw KivPidlException("Error KivPidl::operator==:1");
        hr = folder->CompareIDs(0, a.GetLast().Get(), b.GetLast().Get());
    } else {
        hr = desktop->CompareIDs(0, a.Get(), b.Get());
    }
    if (FAILED(hr))
        throw KivPidlException("Error KivPidl::operator==:2");
    return HRESULT_CODE(hr) == 0;
}

void* KivPidl::IMallocAlloc(SIZE_T size) {
    IMalloc* allocator = Allocator();
    void* memory = allocator ? allocator->Alloc(size) : CoTaskMemAlloc(size);
    if (!memory)
        throw KivPidlException("IMallocAlloc");
    return memory;
}

void KivPidl::IMallocFree(void* memory) {
    if (IMalloc* allocator = Allocator())
        allocator->Free(memory);
    else
        CoTaskMemFree(memory);
}

OleWrapper<IShellFolder> KivPidl::GetDesktopFolder() {
    if (shellObjectsGone) {
        OleWrapper<IShellFolder> late;
        if (FAILED(SHGetDesktopFolder(late.Put())) || !late)
            throw KivPidlException("Error KivDesktopFolder::KivDesktopFolder");
        return late;
    }
    IShellFolder* desktop = TheShellObjects().desktop.Get();
    desktop->AddRef();
    return OleWrapper<IShellFolder>(desktop);
}
