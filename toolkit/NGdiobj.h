// NGdiobj, NFont, NBrush, NSolidBrush: GDI objects shared by reference count; the last holder
// deletes the object, exactly once.
#pragma once
#include "NWin32.h"

class NGdiobj {
public:
    NGdiobj() : record(nullptr) {}
    NGdiobj(const NGdiobj& other);
    NGdiobj& operator=(const NGdiobj& other);
    virtual ~NGdiobj();

    void Attach(HGDIOBJ handle);
    void AddRef();
    void Release();
    HGDIOBJ GetHandle() const { return record ? record->handle : nullptr; }
    // Holders sharing this object (0 when none is held); for diagnostics and tests.
    int GetReferenceCount() const { return record ? record->references : 0; }

    struct NGdiobjHelper {
        HGDIOBJ handle;
        int references;
    };

private:
    NGdiobjHelper* record;
};

// The system menu font; a non-zero height replaces its lfHeight (and lfWidth becomes 0).
class NFont : public NGdiobj {
public:
    explicit NFont(int height);
};

class NBrush : public NGdiobj {};

class NSolidBrush : public NBrush {
public:
    explicit NSolidBrush(COLORREF colour);
};
