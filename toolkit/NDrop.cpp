#include "NDrop.h"

#include <shellapi.h>
#include <vector>

NDrop::~NDrop() {
    if (drop)
        DragFinish(drop);
}

UINT NDrop::GetCount() const { return DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0); }

UINT NDrop::GetLength(UINT index) const { return DragQueryFileA(drop, index, nullptr, 0); }

UINT NDrop::QueryFile(UINT index, char* buffer, UINT size) const {
    return DragQueryFileA(drop, index, buffer, size);
}

std::string NDrop::GetFileName(UINT index) const {
    const UINT length = GetLength(index);
    std::vector<char> buffer(length + 1, '\0');
    QueryFile(index, buffer.data(), length + 1);
    return std::string(buffer.data());
}

POINT NDrop::GetPoint() const {
    POINT point{};
    DragQueryPoint(drop, &point);
    return point;
}
