#include "NWnd.h"

#include <algorithm>
#include <cstdlib>

#include "NDrop.h"
#include "Ndc.h"

namespace {
const char windowClassName[] = "NWindowClass";

int LowWord(LPARAM value) {
    return static_cast<int>(static_cast<WORD>(value & 0xFFFF));
}
int HighWord(LPARAM value) {
    return static_cast<int>(static_cast<WORD>((value >> 16) & 0xFFFF));
}
} // namespace

RECT NormalizeRect(const RECT& r) {
    return RECT{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                std::max(r.top, r.bottom)};
}

POINT GetCursorPoint() {
    POINT point;
    if (!GetCursorPos(&point))
        return POINT{-1, -1};
    return point;
}

NWnd::NWnd(NApp* app)
    : window(nullptr), style(0), exStyle(0), rect{0, 0, 0, 0}, parent(nullptr), application(app),
      ownsWindow(false) {}

NWnd::NWnd(NWnd* parentWindow)
    : window(nullptr), style(0), exStyle(0), rect{0, 0, 0, 0}, parent(parentWindow),
      application(parentWindow ? parentWindow->application : nullptr), ownsWindow(false) {}

NWnd::~NWnd() {
    // The derived parts are gone: messages sent while the window dies reach NWnd's defaults.
    // A window that is already gone is left alone: its handle value may name another window by
    // now.
    if (!ownsWindow)
        return;
    const bool bound = GetWindowLongPtrA(window, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this);
    ::DestroyWindow(window);
    // A window that survives (one of another thread) must not reach this object any more.
    if (bound && ownsWindow && IsWindow(window))
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    ownsWindow = false;
}

ATOM NWnd::RegisterWindowClass() {
    WNDCLASSA wc{};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = &NWnd::StaticWindowProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = application ? application->instance : GetModuleHandleA(nullptr);
    wc.hIcon = nullptr;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = windowClassName;
    return RegisterClassA(&wc);
}

void NWnd::CreateWindow() {
    // A second window would leave the first bound to this object with nobody to destroy it.
    if (ownsWindow)
        throw KivWinBaseException("Error NWnd::CreateWindow");
    RegisterWindowClass();
    RECT r = NormalizeRect(rect);
    HWND created = CreateWindowExA(
        exStyle, windowClassName, title.c_str(), style, r.left, r.top, r.right - r.left,
        r.bottom - r.top, parent ? parent->window : nullptr, nullptr,
        application ? application->instance : GetModuleHandleA(nullptr), this);
    if (!created) {
        // A window that WM_CREATE refused is gone already: no dead handle stays behind.
        window = nullptr;
        ownsWindow = false;
    }
    // A handler that threw during creation has parked its exception; it is the real cause.
    if (application)
        application->RethrowPendingException();
    if (!created)
        throw KivWinBaseException("Error NWnd::CreateWindow");
    window = created;
}

BOOL NWnd::DestroyWindow() {
    if (!window)
        return FALSE;
    return ::DestroyWindow(window);
}

void NWnd::ShowWindow(int command) {
    if (command == SW_HIDE)
        style &= ~WS_VISIBLE;
    else if (command == SW_SHOW)
        style |= WS_VISIBLE;
    if (window)
        ::ShowWindow(window, command);
}

void NWnd::SetWindowTitle(const std::string& text) {
    title = text;
    if (window && !SetWindowTextA(window, title.c_str()))
        throw KivWinBaseException("Error NWnd::SetWindowTitle");
}

void NWnd::SetWindowRect(const RECT& newRect, UINT flags, HWND insertAfter) {
    RECT r = NormalizeRect(newRect);
    if (window && !SetWindowPos(window, insertAfter, r.left, r.top, r.right - r.left,
                                r.bottom - r.top, flags))
        throw KivWinBaseException("Error NWnd::SetWindowRect");
    if (flags & SWP_HIDEWINDOW)
        style &= ~WS_VISIBLE;
    if (flags & SWP_SHOWWINDOW)
        style |= WS_VISIBLE;
    const RECT previous = NormalizeRect(rect);
    if (flags & SWP_NOMOVE) {
        const LONG width = r.right - r.left, height = r.bottom - r.top;
        r.left = previous.left;
        r.top = previous.top;
        r.right = r.left + width;
        r.bottom = r.top + height;
    }
    if (flags & SWP_NOSIZE) {
        r.right = r.left + (previous.right - previous.left);
        r.bottom = r.top + (previous.bottom - previous.top);
    }
    rect = r;
}

const RECT& NWnd::GetWindowRect(bool refresh) {
    if (refresh && window && !::GetWindowRect(window, &rect))
        throw KivWinBaseException("Error NWnd::GetWindowRect");
    return rect;
}

RECT NWnd::AdjustWindowRectEx(const RECT& client, bool hasMenu) const {
    RECT r = client;
    if (!::AdjustWindowRectEx(&r, style, hasMenu, exStyle))
        throw KivWinBaseException("Error NWnd::AdjustWindowRectEx");
    return r;
}

void NWnd::InvalidateRect(const RECT* r, bool erase) {
    if (window && !::InvalidateRect(window, r, erase))
        throw KivWinBaseException("Error NWnd::InvalidateRect");
}

void NWnd::UpdateWindow() {
    if (window && !::UpdateWindow(window))
        throw KivWinBaseException("Error NWnd::UpdateWindow");
}

POINT NWnd::ScreenToClient(POINT point) const {
    if (!window || !::ScreenToClient(window, &point))
        throw KivWinBaseException("Error KivWindow::ScreenToClient");
    return point;
}

POINT NWnd::ClientToScreen(POINT point) const {
    if (!window || !::ClientToScreen(window, &point))
        throw KivWinBaseException("Error KivWindow::ClientToScreen");
    return point;
}

RECT NWnd::ScreenToClient(const RECT& r) const {
    const RECT n = NormalizeRect(r);
    const POINT high = ScreenToClient(POINT{n.right, n.bottom});
    const POINT low = ScreenToClient(POINT{n.left, n.top});
    return RECT{low.x, low.y, high.x, high.y};
}

RECT NWnd::ClientToScreen(const RECT& r) const {
    const RECT n = NormalizeRect(r);
    const POINT high = ClientToScreen(POINT{n.right, n.bottom});
    const POINT low = ClientToScreen(POINT{n.left, n.top});
    return RECT{low.x, low.y, high.x, high.y};
}

LRESULT NWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const BOOL result = PostMessageA(window, message, wParam, lParam);
    if (!result)
        throw KivWinBaseException("Error KivWindow::PostMessage");
    return result;
}

LRESULT NWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(window, message, wParam, lParam);
}

void NWnd::SetStyle(DWORD value) {
    style = value;
    if (window)
        SetWindowLongPtrA(window, GWL_STYLE, static_cast<LONG_PTR>(style));
}

void NWnd::SetExStyle(DWORD value) {
    exStyle = value;
    if (window)
        SetWindowLongPtrA(window, GWL_EXSTYLE, static_cast<LONG_PTR>(exStyle));
}

DWORD NWnd::GetStyle(bool refresh) {
    if (refresh && window)
        style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
    return style;
}

void NWnd::SetClassBackground(HBRUSH brush) {
    if (window)
        SetClassLongPtrA(window, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(brush));
}

void NWnd::SetIcon(HICON icon, bool large) {
    SendMessage(WM_SETICON, large ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

HWND NWnd::SetCapture() {
    return window ? ::SetCapture(window) : nullptr;
}

UINT_PTR NWnd::SetTimer(UINT_PTR id, UINT interval, TIMERPROC procedure) {
    return window ? ::SetTimer(window, id, interval, procedure) : 0;
}

BOOL NWnd::KillTimer(UINT_PTR id) {
    return window ? ::KillTimer(window, id) : FALSE;
}

void NWnd::DragAcceptFiles(bool accept) {
    if (window)
        ::DragAcceptFiles(window, accept);
}

HRESULT NWnd::RegisterDragDrop(IDropTarget* target) {
    return window ? ::RegisterDragDrop(window, target) : E_UNEXPECTED;
}

HRESULT NWnd::RevokeDragDrop() {
    return window ? ::RevokeDragDrop(window) : E_UNEXPECTED;
}

int NWnd::MessageBox(const char* text, const char* caption, UINT type) {
    return MessageBoxA(window, text, caption, type);
}

void NWnd::OnClose() {
    DestroyWindow();
}

LRESULT CALLBACK NWnd::StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    NWnd* self = nullptr;
    if (message == WM_CREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        self = static_cast<NWnd*>(cs->lpCreateParams);
        if (self) {
            self->window = hwnd;
            self->ownsWindow = true;
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = reinterpret_cast<NWnd*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0); // no late message may reach the object
        if (self->window == hwnd)
            self->ownsWindow = false;
    }
    try {
        return self->WindowProc(message, wParam, lParam);
    } catch (...) {
        // Never unwind through the system's frames: the message loop rethrows it.
        if (self->application)
            self->application->StorePendingException(std::current_exception());
        return message == WM_CREATE ? -1 : 0;
    }
}

LRESULT NWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return Dispatch(message, wParam, lParam);
}

LRESULT NWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_PAINT: {
        NPaintDc dc(*this);
        OnPaint(dc);
        return 0;
    }
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_SYSCOLORCHANGE:
        OnSysColorChange();
        return 0;
    case WM_ENDSESSION:
        OnEndSession(wParam, lParam);
        return 0;
    case WM_WININICHANGE:
        OnSettingChange(wParam, lParam);
        return 0;
    case WM_DISPLAYCHANGE:
        OnDisplayChange(wParam, LowWord(lParam), HighWord(lParam));
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_TIMER:
        OnTimer(wParam, lParam);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(wParam, LowWord(lParam), HighWord(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(wParam, LowWord(lParam), HighWord(lParam));
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(wParam, LowWord(lParam), HighWord(lParam));
        return 0;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(wParam, LowWord(lParam), HighWord(lParam));
        return 0;
    case WM_RBUTTONDOWN:
        OnRButtonDown(wParam, LowWord(lParam), HighWord(lParam));
        return 0;
    case WM_RBUTTONUP:
        OnRButtonUp(wParam, LowWord(lParam), HighWord(lParam));
        return 0;
    case WM_ENTERMENULOOP:
        OnEnterMenuLoop(wParam);
        return 0;
    case WM_EXITMENULOOP:
        OnExitMenuLoop(wParam);
        return 0;
    case WM_POWERBROADCAST:
        OnPowerBroadcast(wParam, lParam);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_DROPFILES: {
        NDrop drop(reinterpret_cast<HDROP>(wParam));
        OnDropFiles(drop);
        return 0;
    }
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void NFrameWnd::OnDestroy() {
    PostQuitMessage(0);
}
