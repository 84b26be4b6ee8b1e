#include "Forms.h"

#include <commctrl.h>

namespace forms {

namespace {
const char pageClassName[] = "KivFormPage";

// The text a control shows for a caption with mnemonics: "&x" is x, "&&" is one ampersand.
std::string ShownText(const std::string& caption) {
    std::string shown;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        shown += caption[i];
        if (IsDBCSLeadByteEx(932, static_cast<BYTE>(caption[i])) && i + 1 < caption.size())
            shown += caption[++i];
    }
    return shown;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos)
            return lines;
        start = end + 1;
    }
}

bool IsGroup(const Control* control) {
    return control &&
           (control->GetKind() == Kind::GroupBox || control->GetKind() == Kind::RadioGroup);
}
} // namespace

HFONT CreateDialogFont() {
    return CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, "ＭＳ Ｐゴシック");
}

POINT PlaceInWorkArea(POINT cursor, SIZE windowSize, const RECT& workArea) {
    POINT p = cursor;
    if (p.x + windowSize.cx > workArea.right)
        p.x = workArea.right - windowSize.cx;
    if (p.x < workArea.left)
        p.x = workArea.left;
    if (p.y + windowSize.cy > workArea.bottom)
        p.y = workArea.bottom - windowSize.cy;
    if (p.y < workArea.top)
        p.y = workArea.top;
    return p;
}

int ShowMessageBox(HWND owner, const std::string& text, const std::string& title, UINT type) {
    return MessageBoxA(owner, text.c_str(), title.c_str(), type);
}

int ShowWarning(HWND owner, const std::string& text, const std::string& title) {
    return ShowMessageBox(owner, text, title, MB_OK | MB_ICONWARNING);
}

// ---- Control

Control::Control(Form& owner, const ControlDesc& desc, Control* parentControl)
    : form(owner), parent(parentControl), kind(desc.kind), name(desc.name ? desc.name : ""),
      caption(desc.caption ? desc.caption : ""), x(desc.x), y(desc.y), width(desc.width),
      height(desc.height), extraStyle(desc.style), id(owner.NextId()), window(nullptr) {
    form.registry.push_back(this);
}

Control::Place Control::PlaceInWindow() const {
    Place place{form.GetHandle(), 0, 0};
    const Control* p = parent;
    while (IsGroup(p)) {
        place.dx += p->x;
        place.dy += p->y;
        p = p->parent;
    }
    if (p)
        place.window = p->window;
    return place;
}

void Control::Create() {}

void Control::CreateControl(const char* className, DWORD style, DWORD exStyle, const char* text) {
    const Place place = PlaceInWindow();
    window = CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style | extraStyle,
                             x + place.dx, y + place.dy, width, height, place.window,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             form.GetApplication().app.instance, nullptr);
    if (!window)
        throw KivWinBaseException("Error Control::CreateControl " + name);
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(form.Font()), FALSE);
}

bool Control::Enabled() const {
    return window && IsWindowEnabled(window);
}

void Control::SetEnabled(bool enabled) {
    if (window)
        EnableWindow(window, enabled);
}

bool Control::Visible() const {
    return window && IsWindowVisible(window);
}

void Control::SetVisible(bool visible) {
    if (window)
        ::ShowWindow(window, visible ? SW_SHOW : SW_HIDE);
}

std::string Control::Text() const {
    if (!window)
        return caption;
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

void Control::SetText(const std::string& text) {
    caption = text;
    if (window)
        SetWindowTextA(window, text.c_str());
}

void Control::SetFocus() {
    if (window)
        ::SetFocus(window);
}

bool Control::Focused() const {
    return window && GetFocus() == window;
}

// ---- CheckBox

void CheckBox::Create() {
    CreateControl("BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 0, caption.c_str());
}

bool CheckBox::Checked() const {
    return SendMessageA(window, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::SetChecked(bool checked) {
    if (Checked() == checked)
        return;
    SendMessageA(window, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (onClick)
        onClick();
}

void CheckBox::OnCommand(WORD code) {
    if (code == BN_CLICKED && onClick)
        onClick();
}

// ---- RadioButton

void RadioButton::Create() {
    // The first radio button of a run of radio buttons in one parent starts an arrow-key group.
    DWORD group = WS_GROUP;
    const auto& all = form.Controls();
    for (size_t i = 1; i < all.size(); ++i) {
        if (all[i] == this) {
            const Control* before = all[i - 1];
            if (before->GetKind() == Kind::RadioButton && before->Parent() == parent)
                group = 0;
            break;
        }
    }
    CreateControl("BUTTON", BS_RADIOBUTTON | group, 0, caption.c_str());
}

bool RadioButton::Checked() const {
    return SendMessageA(window, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void RadioButton::SetChecked(bool checked) {
    if (Checked() == checked)
        return;
    SendMessageA(window, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!checked)
        return;
    for (Control* other : form.Controls()) {
        if (other != this && other->GetKind() == Kind::RadioButton && other->Parent() == parent)
            SendMessageA(other->Handle(), BM_SETCHECK, BST_UNCHECKED, 0);
    }
    if (onClick)
        onClick();
}

void RadioButton::OnCommand(WORD code) {
    if (code == BN_CLICKED)
        SetChecked(true);
}

// ---- GroupBox and RadioGroup

void GroupBox::Create() {
    CreateControl("BUTTON", BS_GROUPBOX | WS_GROUP | WS_CLIPSIBLINGS, 0, caption.c_str());
}

RadioGroup::RadioGroup(Form& owner, const ControlDesc& desc, Control* parentControl)
    : Control(owner, desc, parentControl) {
    items = SplitLines(caption);
    caption = items.front();
    items.erase(items.begin());
}

void RadioGroup::Create() {
    CreateControl("BUTTON", BS_GROUPBOX | WS_GROUP | WS_CLIPSIBLINGS, 0, caption.c_str());
    if (items.empty())
        return;
    // One column below the caption line, the rows sharing the height left.
    TEXTMETRICA metrics{};
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, form.Font());
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    const int count = static_cast<int>(items.size());
    const int room = height - metrics.tmHeight - 5;
    const int rowHeight = room / count;
    const int top = metrics.tmHeight + 1 + (room % count) / 2;
    for (int i = 0; i < count; ++i) {
        const std::string itemName = name + "[" + std::to_string(i) + "]";
        const ControlDesc d{Kind::RadioButton,   itemName.c_str(), nullptr,   8,
                            top + i * rowHeight, width - 10,       rowHeight, items[i].c_str()};
        auto button = std::make_unique<RadioButton>(form, d, this);
        button->onClick = [this, i] {
            itemIndex = i;
            if (onClick)
                onClick();
        };
        button->Create();
        buttons.push_back(std::move(button));
    }
}

void RadioGroup::SetItemIndex(int index) {
    if (index == itemIndex || index < -1 || index >= ItemCount())
        return;
    if (index == -1) {
        for (auto& button : buttons)
            SendMessageA(button->Handle(), BM_SETCHECK, BST_UNCHECKED, 0);
        itemIndex = -1;
        return;
    }
    buttons[index]->SetChecked(true);
}

// ---- Label and Picture

void Label::Create() {
    if (width == 0) {
        const std::string shown = ShownText(caption);
        SIZE size{0, 0};
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, form.Font());
        GetTextExtentPoint32A(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        width = size.cx;
        height = size.cy;
    }
    CreateControl("STATIC", SS_LEFT, 0, caption.c_str());
}

Picture::~Picture() {
    if (bitmap)
        DeleteObject(bitmap);
}

void Picture::Create() {
    CreateControl("STATIC", SS_CENTERIMAGE, 0, "");
}

void Picture::SetBitmap(HBITMAP newBitmap) {
    const LONG_PTR s = GetWindowLongPtrA(window, GWL_STYLE);
    SetWindowLongPtrA(window, GWL_STYLE, (s & ~SS_TYPEMASK) | SS_BITMAP);
    SendMessageA(window, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(newBitmap));
    if (bitmap)
        DeleteObject(bitmap);
    bitmap = newBitmap;
}

void Picture::SetIcon(HICON icon) {
    const LONG_PTR s = GetWindowLongPtrA(window, GWL_STYLE);
    SetWindowLongPtrA(window, GWL_STYLE, (s & ~SS_TYPEMASK) | SS_ICON);
    SendMessageA(window, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}

// ---- Button

void Button::Create() {
    CreateControl("BUTTON", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 0, caption.c_str());
}

void Button::Click() {
    if (Enabled() && onClick)
        onClick();
}

void Button::OnCommand(WORD code) {
    if (code == BN_CLICKED)
        Click();
}

// ---- Edit

void Edit::Create() {
    CreateControl("EDIT", ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE,
                  caption.c_str());
    SetWindowSubclass(window, &Edit::SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK Edit::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR data) {
    auto* self = reinterpret_cast<Edit*>(data);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &Edit::SubclassProc, 1);
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    if (message != WM_KILLFOCUS)
        return DefSubclassProc(hwnd, message, wParam, lParam);
    const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
    // Only a move to another control of the same form leaves the edit; a message box or another
    // program taking the focus does not (the form gives the focus back when it is activated).
    HWND next = reinterpret_cast<HWND>(wParam);
    if (next && next != hwnd && GetAncestor(next, GA_ROOT) == GetAncestor(hwnd, GA_ROOT) &&
        self->onExit)
        self->form.Guard(self->onExit);
    return result;
}

void Edit::OnCommand(WORD code) {
    if (code != EN_CHANGE)
        return;
    // Some edit controls report one undo twice; it is one change of the text.
    if (undoing) {
        if (undoReported)
            return;
        undoReported = true;
    }
    ++changeCount;
    if (onChange)
        onChange();
}

void Edit::SetText(const std::string& text) {
    const unsigned before = changeCount;
    Control::SetText(text);
    // Setting the text is a change like typing, whether or not the control reported it.
    if (changeCount == before && onChange)
        onChange();
}

void Edit::Undo() {
    const unsigned before = changeCount;
    const std::string previous = Text();
    undoing = true;
    undoReported = false;
    SendMessageA(window, EM_UNDO, 0, 0);
    undoing = false;
    if (changeCount == before && Text() != previous && onChange)
        onChange();
}

bool Edit::CanUndo() const {
    return SendMessageA(window, EM_CANUNDO, 0, 0) != 0;
}

// ---- PageControl and Page

void PageControl::Create() {
    CreateControl(WC_TABCONTROLA, WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP | WS_GROUP, 0, "");
}

RECT PageControl::PageRect() const {
    RECT r;
    GetClientRect(window, &r);
    SendMessageA(window, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return r;
}

void PageControl::AddPage(Page* page) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = page->caption.data();
    const int index = static_cast<int>(pages.size());
    SendMessageA(window, TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&item));
    pages.push_back(page);
    if (activePage < 0)
        activePage = 0;
}

void PageControl::ShowActive() {
    const RECT r = PageRect();
    for (int i = 0; i < PageCount(); ++i) {
        SetWindowPos(pages[i]->window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE |
                         (i == activePage ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    }
    if (SendMessageA(window, TCM_GETCURSEL, 0, 0) != activePage)
        SendMessageA(window, TCM_SETCURSEL, activePage, 0);
}

void PageControl::SetActivePage(int index) {
    if (index == activePage || index < 0 || index >= PageCount())
        return;
    // The focus must not stay on a control of a page that is hidden.
    HWND focus = GetFocus();
    const bool focusOnPage = focus && activePage >= 0 && IsChild(pages[activePage]->window, focus);
    activePage = index;
    ShowActive();
    if (focusOnPage)
        ::SetFocus(window);
    if (onChange)
        onChange();
}

void PageControl::OnNotify(NMHDR* header) {
    if (header->code != TCN_SELCHANGE)
        return;
    const int selected = static_cast<int>(SendMessageA(window, TCM_GETCURSEL, 0, 0));
    if (selected == activePage || selected < 0)
        return;
    activePage = selected;
    ShowActive();
    if (onChange)
        onChange();
}

LRESULT CALLBACK Page::PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_DRAWITEM:
        // The form handles the notifications of every control.
        return SendMessageA(GetAncestor(hwnd, GA_ROOT), message, wParam, lParam);
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

void Page::Create() {
    auto* pageControl = dynamic_cast<PageControl*>(parent);
    if (!pageControl)
        throw KivWinBaseException("Error Page::Create " + name);
    HINSTANCE instance = form.GetApplication().app.instance;
    WNDCLASSA wc{};
    if (!GetClassInfoA(instance, pageClassName, &wc)) {
        wc.lpfnWndProc = &Page::PageProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = pageClassName;
        RegisterClassA(&wc);
    }
    index = pageControl->PageCount();
    pageControl->AddPage(this);
    const RECT r = pageControl->PageRect();
    window = CreateWindowExA(WS_EX_CONTROLPARENT, pageClassName, caption.c_str(),
                             WS_CHILD | WS_CLIPSIBLINGS | (index == 0 ? WS_VISIBLE : 0), r.left,
                             r.top, r.right - r.left, r.bottom - r.top, pageControl->window,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (!window)
        throw KivWinBaseException("Error Control::CreateControl " + name);
}

// ---- Form

Form::Form(Application& app, int width, int height, const std::string& caption)
    : NWnd(&app.app), application(app), clientWidth(width), clientHeight(height),
      font(CreateDialogFont()) {
    title = caption;
}

Form::~Form() {
    if (window && IsWindow(window))
        ::DestroyWindow(window);
    ForgetHandle();
    controls.clear();
    if (font)
        DeleteObject(font);
}

void Form::Create(const std::vector<ControlDesc>& descriptions) {
    style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    const RECT outer = AdjustWindowRectEx(RECT{0, 0, clientWidth, clientHeight}, false);
    rect = RECT{0, 0, outer.right - outer.left, outer.bottom - outer.top};
    NWnd::CreateWindow();
    if (application.icon) {
        SetIcon(application.icon, true);
        SetIcon(application.icon, false);
    }
    for (const ControlDesc& d : descriptions) {
        Control* parentControl = nullptr;
        if (d.parent) {
            parentControl = Find(d.parent);
            if (!parentControl)
                throw KivWinBaseException(std::string("Error Form::Create ") + d.parent);
        }
        std::unique_ptr<Control> control;
        switch (d.kind) {
        case Kind::CheckBox:
            control = std::make_unique<CheckBox>(*this, d, parentControl);
            break;
        case Kind::RadioButton:
            control = std::make_unique<RadioButton>(*this, d, parentControl);
            break;
        case Kind::RadioGroup:
            control = std::make_unique<RadioGroup>(*this, d, parentControl);
            break;
        case Kind::GroupBox:
            control = std::make_unique<GroupBox>(*this, d, parentControl);
            break;
        case Kind::Label:
            control = std::make_unique<Label>(*this, d, parentControl);
            break;
        case Kind::Picture:
            control = std::make_unique<Picture>(*this, d, parentControl);
            break;
        case Kind::Button:
            control = std::make_unique<Button>(*this, d, parentControl);
            break;
        case Kind::Edit:
            control = std::make_unique<Edit>(*this, d, parentControl);
            break;
        case Kind::PageControl:
            control = std::make_unique<PageControl>(*this, d, parentControl);
            break;
        case Kind::Page:
            control = std::make_unique<Page>(*this, d, parentControl);
            break;
        }
        Control* made = control.get();
        controls.push_back(std::move(control));
        made->Create();
    }
    // Frames lie below what they surround, so that they never paint over it.
    for (Control* c : registry) {
        if (IsGroup(c))
            SetWindowPos(c->window, HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    for (Control* c : registry) {
        if (auto* pages = dynamic_cast<PageControl*>(c))
            pages->ShowActive();
    }
}

Control* Form::Find(const std::string& controlName) const {
    for (Control* c : registry) {
        if (c->name == controlName)
            return c;
    }
    return nullptr;
}

SIZE Form::WindowSize() {
    const RECT& r = GetWindowRect(true);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void Form::MoveTo(POINT topLeft) {
    const SIZE size = WindowSize();
    SetWindowRect(RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy},
                  SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE, nullptr);
}

void Form::PlaceAtCursor() {
    RECT workArea{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    POINT cursor{0, 0};
    GetCursorPos(&cursor);
    MoveTo(PlaceInWorkArea(cursor, WindowSize(), workArea));
}

void Form::Guard(const std::function<void()>& action) {
    try {
        action();
    } catch (...) {
        application.app.StorePendingException(std::current_exception());
    }
}

std::vector<Control*> Form::TabOrder() const {
    std::vector<Control*> order;
    for (Control* c : registry) {
        if (!c->window || !IsWindowVisible(c->window) || !IsWindowEnabled(c->window))
            continue;
        switch (c->kind) {
        case Kind::CheckBox:
        case Kind::Button:
        case Kind::Edit:
        case Kind::PageControl:
            order.push_back(c);
            break;
        case Kind::RadioButton: {
            // The radio buttons of one parent are one stop: the checked one, else the first.
            Control* first = nullptr;
            Control* checked = nullptr;
            for (Control* o : registry) {
                if (o->kind != Kind::RadioButton || o->parent != c->parent || !o->window)
                    continue;
                if (!first)
                    first = o;
                if (static_cast<RadioButton*>(o)->Checked())
                    checked = o;
            }
            if ((checked ? checked : first) == c)
                order.push_back(c);
            break;
        }
        default:
            break;
        }
    }
    return order;
}

namespace {
void FocusControl(HWND control) {
    ::SetFocus(control);
    if (SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        SendMessageA(control, EM_SETSEL, 0, -1);
}
} // namespace

void Form::FocusNext(bool backwards) {
    const std::vector<Control*> order = TabOrder();
    if (order.empty())
        return;
    HWND focus = GetFocus();
    int current = -1;
    for (size_t i = 0; i < order.size(); ++i) {
        if (order[i]->window == focus || (focus && IsChild(order[i]->window, focus)))
            current = static_cast<int>(i);
    }
    if (current < 0 && focus) {
        // From a radio button that is not its group's stop, step from the group's stop.
        for (Control* f : registry) {
            if (f->window != focus || f->kind != Kind::RadioButton)
                continue;
            for (size_t i = 0; i < order.size(); ++i) {
                if (order[i]->kind == Kind::RadioButton && order[i]->parent == f->parent)
                    current = static_cast<int>(i);
            }
        }
    }
    const int n = static_cast<int>(order.size());
    const int next =
        current < 0 ? (backwards ? n - 1 : 0) : (current + (backwards ? n - 1 : 1)) % n;
    FocusControl(order[next]->window);
}

bool Form::HandleKey(MSG& msg) {
    if (msg.message != WM_KEYDOWN || (msg.hwnd != window && !IsChild(window, msg.hwnd)))
        return false;
    if (msg.wParam == VK_TAB && (GetKeyState(VK_CONTROL) & 0x8000)) {
        // Ctrl+Tab turns the pages.
        for (Control* c : registry) {
            if (auto* pages = dynamic_cast<PageControl*>(c); pages && pages->PageCount() > 0) {
                const int n = pages->PageCount();
                const bool back = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
                pages->SetActivePage((pages->ActivePageIndex() + (back ? n - 1 : 1)) % n);
                return true;
            }
        }
        return false;
    }
    if (msg.wParam != VK_UP && msg.wParam != VK_DOWN && msg.wParam != VK_LEFT &&
        msg.wParam != VK_RIGHT)
        return false;
    // The arrow keys move the choice among the radio buttons of one parent.
    Control* focused = nullptr;
    for (Control* c : registry) {
        if (c->window == msg.hwnd && c->kind == Kind::RadioButton)
            focused = c;
    }
    if (!focused)
        return false;
    std::vector<Control*> run;
    for (Control* c : registry) {
        if (c->kind == Kind::RadioButton && c->parent == focused->parent &&
            IsWindowVisible(c->window) && IsWindowEnabled(c->window))
            run.push_back(c);
    }
    const int n = static_cast<int>(run.size());
    int at = 0;
    while (at < n && run[at] != focused)
        ++at;
    if (n == 0 || at == n)
        return false;
    const bool back = msg.wParam == VK_UP || msg.wParam == VK_LEFT;
    auto* next = static_cast<RadioButton*>(run[(at + (back ? n - 1 : 1)) % n]);
    FocusControl(next->window);
    next->SetChecked(true);
    return true;
}

void Form::ShowModal() {
    ShowWindow(SW_SHOW);
    SetForegroundWindow(window);
    if (!GetFocus() || !IsChild(window, GetFocus()))
        FocusNext(false);
    MSG msg;
    while (!closed) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0)
            break;
        if (!HandleKey(msg) && !IsDialogMessageA(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        application.app.RethrowPendingException();
    }
    application.app.RethrowPendingException();
}

void Form::Close() {
    if (window && IsWindow(window))
        ::DestroyWindow(window);
}

void Form::OnDestroy() {
    closed = true;
}

LRESULT Form::Forward(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = false;
    if (message == WM_COMMAND) {
        const int controlId = LOWORD(wParam);
        if (controlId == IDCANCEL && lParam == 0) {
            handled = true;
            if (cancelButton)
                cancelButton->Click();
            return 0;
        }
        for (Control* c : registry) {
            if (c->id == controlId) {
                handled = true;
                c->OnCommand(HIWORD(wParam));
                return 0;
            }
        }
        // Enter without a default button asks for IDOK: nothing answers it.
        handled = true;
        return 0;
    }
    if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        for (Control* c : registry) {
            if (c->window && c->window == header->hwndFrom) {
                handled = true;
                c->OnNotify(header);
                return 0;
            }
        }
    }
    return 0;
}

LRESULT Form::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY: {
        bool handled = false;
        const LRESULT result = Forward(message, wParam, lParam, handled);
        return handled ? result : DefWindowProcA(window, message, wParam, lParam);
    }
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(window, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case DM_GETDEFID: {
        // Enter presses the focused push button, else the default button.
        HWND focus = GetFocus();
        for (Control* c : registry) {
            if (c->kind == Kind::Button && c->window == focus)
                return MAKELRESULT(c->id, DC_HASDEFID);
        }
        for (Control* c : registry) {
            if (c->kind == Kind::Button && static_cast<Button*>(c)->IsDefault())
                return MAKELRESULT(c->id, DC_HASDEFID);
        }
        return 0;
    }
    case WM_NEXTDLGCTL:
        if (LOWORD(lParam)) {
            HWND target = reinterpret_cast<HWND>(wParam);
            if (target && IsChild(window, target))
                FocusControl(target);
        } else {
            FocusNext(wParam != 0);
        }
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(window, focus))
                savedFocus = focus;
        } else if (savedFocus && IsWindow(savedFocus) && IsChild(window, savedFocus)) {
            ::SetFocus(savedFocus);
        } else {
            FocusNext(false);
        }
        return 0;
    default:
        return NWnd::WindowProc(message, wParam, lParam);
    }
}

} // namespace forms
