// Ndc, NWindowDc, NPaintDc: a device context held for the life of a stack object. Objects
// selected through it stay alive until it is destroyed; destruction restores the DC's original
// objects, releases the DC, and only then drops the held references.
#pragma once
#include "NWin32.h"
#include <vector>

#include "NGdiobj.h"

class NWnd;

class Ndc {
public:
    Ndc(const Ndc&) = delete;
    Ndc& operator=(const Ndc&) = delete;
    virtual ~Ndc() = default;

    void SelectObject(NGdiobj object);
    SIZE GetTextExtentPoint32(const char* text, int length);
    int FillRect(const RECT* rect, const NGdiobj& brush);
    int SetBkMode(int mode);
    int SetMapMode(int mode);
    SIZE SetWindowExtEx(SIZE size);
    SIZE SetViewportExtEx(SIZE size);
    POINT SetViewportOrgEx(POINT origin);
    POINT OffsetViewportOrgEx(POINT offset);
    BOOL DrawEdge(RECT* rect, UINT edge, UINT flags);
    COLORREF SetTextColor(COLORREF colour);
    int DrawTextEx(const char* text, int length, RECT* rect, UINT format,
                   DRAWTEXTPARAMS* params);

    HDC GetHandle() const { return dc; }
    size_t GetHeldCount() const { return held.size(); }

protected:
    Ndc() = default;
    void SaveObjects();
    void RestoreObjects();
    void ReleaseHeld();

    HGDIOBJ savedPen = nullptr;
    HGDIOBJ savedBrush = nullptr;
    HGDIOBJ savedPalette = nullptr;
    HGDIOBJ savedFont = nullptr;
    HGDIOBJ savedBitmap = nullptr;
    std::vector<NGdiobj> held;
    HDC dc = nullptr;
};

// GetDC of a window (the screen DC for none).
class NWindowDc : public Ndc {
public:
    explicit NWindowDc(NWnd* window);
    ~NWindowDc() override;

private:
    HWND window;
};

// BeginPaint / EndPaint of one WM_PAINT.
class NPaintDc : public Ndc {
public:
    explicit NPaintDc(NWnd& window);
    ~NPaintDc() override;

    const PAINTSTRUCT& GetPaintStruct() const { return paint; }
    bool MustErase() const { return paint.fErase != FALSE; }
    const RECT& GetPaintRect() const { return paint.rcPaint; }

private:
    HWND window;
    PAINTSTRUCT paint;
};
