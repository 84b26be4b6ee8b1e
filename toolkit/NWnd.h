// NWnd: the base of every toolkit window (one system window per object, shared class
// "NWindowClass"), its message dispatcher, NFrameWnd, and GetCursorPoint.
//
// Handler signatures (the dispatcher unpacks the messages; x and y are the unsigned low and high
// words of lParam, so a client x of -1 arrives as 65535):
//   OnCommand(id, code)  OnMouseMove/OnXButtonYyy(keys, x, y)  OnDisplayChange(bpp, cx, cy)
//   OnEnterMenuLoop/OnExitMenuLoop(wParam)  OnTimer(id, lParam)  OnPowerBroadcast(event, data)
//   OnEndSession(ending, lParam)  OnSettingChange(wParam, lParam)  OnPaint(NPaintDc&)
//   OnDropFiles(NDrop&)  OnIdle() -> non-zero to be called again at once
#pragma once
#include "NWin32.h"
#include <oleidl.h>
#include <string>

#include "KivWinBaseException.h"
#include "NApp.h"

class NPaintDc;
class NDrop;

class NWnd {
public:
    explicit NWnd(NApp* app);    // a top-level window object
    explicit NWnd(NWnd* parent); // a child or owned window object; application from the parent
    NWnd(const NWnd&) = delete;
    NWnd& operator=(const NWnd&) = delete;

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnCreate() {}
    virtual void OnDestroy() {}
    virtual void OnClose();
    virtual void OnCommand(WORD /*id*/, WORD /*code*/) {}
    virtual void OnMouseMove(WPARAM /*keys*/, int /*x*/, int /*y*/) {}
    virtual void OnLButtonDown(WPARAM /*keys*/, int /*x*/, int /*y*/) {}
    virtual void OnLButtonUp(WPARAM /*keys*/, int /*x*/, int /*y*/) {}
    virtual void OnLButtonDblClk(WPARAM /*keys*/, int /*x*/, int /*y*/) {}
    virtual void OnRButtonDown(WPARAM /*keys*/, int /*x*/, int /*y*/) {}
    virtual void OnRButtonUp(WPARAM /*keys*/, int /*x*/, int /*y*/) {}
    virtual void OnSysColorChange() {}
    virtual void OnSettingChange(WPARAM /*wParam*/, LPARAM /*lParam*/) {}
    virtual void OnDisplayChange(WPARAM /*bitsPerPixel*/, int /*width*/, int /*height*/) {}
    virtual void OnEnterMenuLoop(WPARAM /*isPopup*/) {}
    virtual void OnExitMenuLoop(WPARAM /*isPopup*/) {}
    virtual void OnDropFiles(NDrop& /*drop*/) {}
    virtual void OnPaint(NPaintDc& /*dc*/) {}
    virtual void OnTimer(WPARAM /*id*/, LPARAM /*lParam*/) {}
    virtual void OnPowerBroadcast(WPARAM /*event*/, LPARAM /*data*/) {}
    virtual void OnEndSession(WPARAM /*ending*/, LPARAM /*lParam*/) {}
    virtual int OnIdle() { return 0; }
    virtual ATOM RegisterWindowClass();
    virtual ~NWnd();

    // Throws "Error NWnd::CreateWindow" when the object already owns a live window or creation
    // fails; a handler's exception during creation comes out instead. After a failure the
    // handle is null.
    void CreateWindow();
    BOOL DestroyWindow();
    void ShowWindow(int command);
    void SetWindowTitle(const std::string& text);
    void SetWindowRect(const RECT& rect, UINT flags, HWND insertAfter);
    const RECT& GetWindowRect(bool refresh);
    RECT AdjustWindowRectEx(const RECT& client, bool hasMenu) const;
    void InvalidateRect(const RECT* rect, bool erase);
    void UpdateWindow();
    POINT ScreenToClient(POINT point) const;
    POINT ClientToScreen(POINT point) const;
    RECT ScreenToClient(const RECT& rect) const;
    RECT ClientToScreen(const RECT& rect) const;
    LRESULT PostMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT SendMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void SetStyle(DWORD value);
    void SetExStyle(DWORD value);
    DWORD GetStyle(bool refresh);
    DWORD GetExStyle() const { return exStyle; }
    void SetClassBackground(HBRUSH brush);
    void SetIcon(HICON icon, bool large);
    HWND SetCapture();
    UINT_PTR SetTimer(UINT_PTR id, UINT interval, TIMERPROC procedure);
    BOOL KillTimer(UINT_PTR id);
    void DragAcceptFiles(bool accept);
    HRESULT RegisterDragDrop(IDropTarget* target);
    HRESULT RevokeDragDrop();
    int MessageBox(const char* text, const char* caption, UINT type);

    // The handle stays as it was after the window is destroyed (operations on it then fail);
    // OwnsWindow tells whether it still names this object's live window.
    HWND GetHandle() const { return window; }
    bool OwnsWindow() const { return ownsWindow; }
    NWnd* GetParent() const { return parent; }
    NApp* GetApp() const { return application; }
    const std::string& GetTitle() const { return title; }

    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Lets a derived object that has destroyed or taken over its window say so.
    void ForgetHandle() {
        window = nullptr;
        ownsWindow = false;
    }
    // For a derived object whose window is not of the toolkit class: it takes the window over,
    // learns of the window's end by itself and says so with WindowGone.
    void AdoptWindow(HWND handle) {
        window = handle;
        ownsWindow = handle != nullptr;
    }
    void WindowGone() { ownsWindow = false; }

    HWND window;
    DWORD style;
    DWORD exStyle;
    RECT rect;
    NWnd* parent;
    NApp* application;
    std::string title;

private:
    // Set while window names this object's live window: from WM_CREATE to WM_NCDESTROY, so that
    // the destructor never destroys a handle value that now belongs to another window.
    bool ownsWindow;

    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
};

// NFrameWnd: destroying its window ends the message loop.
class NFrameWnd : public NWnd {
public:
    using NWnd::NWnd;
    void OnDestroy() override;
};

// The cursor position, or (-1, -1) when it cannot be read.
POINT GetCursorPoint();

// Position and size derived from a rectangle whose corners may be in any order.
RECT NormalizeRect(const RECT& rect);
