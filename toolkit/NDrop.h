// NDrop: owns a dropped-file list (HDROP) and frees it with DragFinish unless detached.
#pragma once
#include "NWin32.h"
#include <string>

class NDrop {
public:
    explicit NDrop(HDROP handle) : drop(handle) {}
    NDrop(const NDrop&) = delete;
    NDrop& operator=(const NDrop&) = delete;
    ~NDrop();

    UINT GetCount() const;
    UINT GetLength(UINT index) const;
    UINT QueryFile(UINT index, char* buffer, UINT size) const;
    std::string GetFileName(UINT index) const;
    POINT GetPoint() const;
    void Detach() { drop = nullptr; }
    HDROP GetHandle() const { return drop; }

private:
    HDROP drop;
};
