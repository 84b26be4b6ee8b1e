// KivPidl: owner of one item identifier list allocated with the shell allocator.
// KivIMalloc, KivDesktopFolder: the process-wide shell allocator and desktop folder behind it.
// KivPidlException: failures of this layer.
//
// Failures: the constructors from a path or a special folder throw KivPidlException with the
// messages below; every operation that makes a new list (copies, Clone, GetLast, GetParent,
// Concat) can throw KivPidlException ("IMallocAlloc"); the comparison throws when the shell
// cannot compare. Counting, sizes, moves, Free, Attach, Detach and Get never throw.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <stdexcept>
#include <string>

#include "OleWrapper.h"

class KivPidlException : public std::runtime_error {
public:
    explicit KivPidlException(const std::string& message) : std::runtime_error(message) {}
};

// The shell allocator; every identifier list of the process is allocated and freed with it.
class KivIMalloc {
public:
    KivIMalloc(); // throws "Error SHGetMalloc"
    KivIMalloc(const KivIMalloc&) = delete;
    KivIMalloc& operator=(const KivIMalloc&) = delete;
    IMalloc* Get() const { return iMalloc.Get(); }

private:
    OleWrapper<IMalloc> iMalloc;
};

// The desktop folder: parses paths and binds every other folder.
class KivDesktopFolder {
public:
    KivDesktopFolder(); // throws "Error KivDesktopFolder::KivDesktopFolder"
    KivDesktopFolder(const KivDesktopFolder&) = delete;
    KivDesktopFolder& operator=(const KivDesktopFolder&) = delete;
    IShellFolder* Get() const { return desktopFolder.Get(); }

private:
    OleWrapper<IShellFolder> desktopFolder;
};

class KivPidl {
public:
    KivPidl() : pidl(nullptr) {}
    // Parses a path (ANSI code page) with the desktop folder; a path that names nothing throws
    // "Error KivPidl::KivPidl ParseDisplayName" (a null path: CodeTransWrapperException).
    explicit KivPidl(const char* path);
    // A special folder: 0 the desktop, 16 the desktop's file-system directory. Throws
    // "KivPidl::KivPidl SHGetSpecialFolderLocation".
    KivPidl(HWND owner, int specialFolder);
    // A copy is a clone: a list never has two owners.
    KivPidl(const KivPidl& other);
    KivPidl(KivPidl&& other) noexcept : pidl(other.pidl) { other.pidl = nullptr; }
    KivPidl& operator=(const KivPidl& other);
    KivPidl& operator=(KivPidl&& other) noexcept;
    ~KivPidl() { Free(); }

    // Takes over a list allocated with the shell allocator (as shell calls return them).
    static KivPidl Attach(LPITEMIDLIST owned);

    void Free();
    // Elements; 0 for null and for the empty list (the desktop).
    UINT GetCount() const;
    // Bytes including the terminator; 0 for null.
    UINT GetSize() const;
    KivPidl Clone() const;
    // Two or more elements: a list of the last one alone; otherwise a clone.
    KivPidl GetLast() const;
    // Two or more elements: all but the last; otherwise null.
    KivPidl GetParent() const;
    static KivPidl Concat(const KivPidl& first, const KivPidl& second);

    // Same length, and at every level the holding folder reports the same item. Throws
    // "Error KivPidl::operator==:1" when a holder cannot be bound, ":2" when the shell cannot
    // compare.
    friend bool operator==(const KivPidl& a, const KivPidl& b);
    friend bool operator!=(const KivPidl& a, const KivPidl& b) { return !(a == b); }

    static void* IMallocAlloc(SIZE_T size); // throws "IMallocAlloc"
    static void IMallocFree(void* memory);
    // A new reference to the desktop folder; throws KivPidlException when there is none.
    static OleWrapper<IShellFolder> GetDesktopFolder();

    LPITEMIDLIST Get() const { return pidl; }
    bool IsNull() const { return pidl == nullptr; }
    // Out-parameter of a shell call: the old list is freed first, the new one is owned.
    LPITEMIDLIST* Put() {
        Free();
        return &pidl;
    }
    LPITEMIDLIST Detach() {
        LPITEMIDLIST raw = pidl;
        pidl = nullptr;
        return raw;
    }

private:
    LPITEMIDLIST pidl;
};
