#include "Ndc.h"

#include "KivWinBaseException.h"
#include "NWnd.h"

void Ndc::SaveObjects() {
    savedPen = GetCurrentObject(dc, OBJ_PEN);
    savedBrush = GetCurrentObject(dc, OBJ_BRUSH);
    savedPalette = GetCurrentObject(dc, OBJ_PAL);
    savedFont = GetCurrentObject(dc, OBJ_FONT);
    savedBitmap = GetCurrentObject(dc, OBJ_BITMAP);
}

void Ndc::RestoreObjects() {
    for (HGDIOBJ saved : {savedPen, savedBrush, savedPalette, savedFont, savedBitmap}) {
        if (saved)
            ::SelectObject(dc, saved);
    }
}

void Ndc::ReleaseHeld() {
    held.clear();
    held.shrink_to_fit();
}

void Ndc::SelectObject(NGdiobj object) {
    held.push_back(object);
    ::SelectObject(dc, object.GetHandle());
}

SIZE Ndc::GetTextExtentPoint32(const char* text, int length) {
    SIZE size{};
    if (!::GetTextExtentPoint32A(dc, text, length, &size))
        throw KivWinBaseException("Error Ndc::GetTextExtentPoint32");
    return size;
}

int Ndc::FillRect(const RECT* rect, const NGdiobj& brush) {
    const int result = ::FillRect(dc, rect, static_cast<HBRUSH>(brush.GetHandle()));
    if (!result)
        throw KivWinBaseException("Error Ndc::FillRect");
    return result;
}

int Ndc::SetBkMode(int mode) {
    const int previous = ::SetBkMode(dc, mode);
    if (previous == 0)
        throw KivWinBaseException("Error Ndc::SetBkMode");
    return previous;
}

int Ndc::SetMapMode(int mode) {
    const int previous = ::SetMapMode(dc, mode);
    if (previous == 0)
        throw KivWinBaseException("Error Ndc::SetMapMode");
    return previous;
}

SIZE Ndc::SetWindowExtEx(SIZE size) {
    SIZE previous{};
    if (!::SetWindowExtEx(dc, size.cx, size.cy, &previous))
        throw KivWinBaseException("Error Ndc::SetWindowExtEx");
    return previous;
}

SIZE Ndc::SetViewportExtEx(SIZE size) {
    SIZE previous{};
    if (!::SetViewportExtEx(dc, size.cx, size.cy, &previous))
        throw KivWinBaseException("Error Ndc::SetViewportExtEx");
    return previous;
}

POINT Ndc::SetViewportOrgEx(POINT origin) {
    POINT previous{};
    if (!::SetViewportOrgEx(dc, origin.x, origin.y, &previous))
        throw KivWinBaseException("Error Ndc::SetViewportOrgEx");
    return previous;
}

POINT Ndc::OffsetViewportOrgEx(POINT offset) {
    POINT previous{};
    if (!::OffsetViewportOrgEx(dc, offset.x, offset.y, &previous))
        throw KivWinBaseException("Error Ndc::OffsetViewportOrgEx");
    return previous;
}

BOOL Ndc::DrawEdge(RECT* rect, UINT edge, UINT flags) {
    const BOOL result = ::DrawEdge(dc, rect, edge, flags);
    if (!result)
        throw KivWinBaseException("Error Ndc::DrawEdge");
    return result;
}

COLORREF Ndc::SetTextColor(COLORREF colour) { return ::SetTextColor(dc, colour); }

int Ndc::DrawTextEx(const char* text, int length, RECT* rect, UINT format,
                    DRAWTEXTPARAMS* params) {
    return ::DrawTextExA(dc, const_cast<char*>(text), length, rect, format, params);
}

NWindowDc::NWindowDc(NWnd* owner) : window(owner ? owner->GetHandle() : nullptr) {
    dc = GetDC(window);
    SaveObjects();
}

NWindowDc::~NWindowDc() {
    RestoreObjects();
    ReleaseDC(window, dc);
    ReleaseHeld();
}

NPaintDc::NPaintDc(NWnd& owner) : window(owner.GetHandle()), paint{} {
    dc = BeginPaint(window, &paint);
    SaveObjects();
}

NPaintDc::~NPaintDc() {
    RestoreObjects();
    EndPaint(window, &paint);
    ReleaseHeld();
}
