// The dialogs' form layer over plain Win32 controls: Application (module, icon, title), Form (a
// top-level dialog-style window with its modal loop), the controls made from a table of
// ControlDesc (check box, radio button, radio group, group box, label, picture, button, edit,
// page control and its pages), the dialogs' font, placement in the work area and message boxes.
//
// Events are std::function members. Setting a control's state from code raises the same event
// as the user's change would, provided the state changes.
//
// Window tree: form -> controls whose parent is the form or one of its groups; form -> page
// control -> pages -> controls whose parent is that page or one of its groups. Groups are drawn
// frames, not parents: their contents are siblings placed at the group's offset. Pages and the
// form receive every notification of their children and hand it to the control that sent it.
#pragma once
#include "NWnd.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace forms {

enum class Kind {
    CheckBox,
    RadioButton,
    RadioGroup, // caption = title, then "\n" and one line per item
    GroupBox,
    Label, // a width of 0 takes the size of its text
    Picture,
    Button, // BS_DEFPUSHBUTTON in style: the default button (Enter)
    Edit,
    PageControl,
    Page, // parent = its page control; caption = the tab text; position and size unused
};

struct ControlDesc {
    Kind kind;
    const char* name;
    const char* parent;      // name of the page, group or radio group it lies in; null: the form
    int x, y, width, height; // in the parent
    const char* caption;
    DWORD style = 0; // added to the kind's own styles (ES_OEMCONVERT, BS_DEFPUSHBUTTON, ...)
};

// The application object of a dialog program: the toolkit's NApp (instance, parked exceptions),
// the program icon and the title that message boxes of the controls carry.
struct Application {
    explicit Application(HINSTANCE instance) : app(instance) {}
    NApp app;
    HICON icon = nullptr;
    std::string title;
};

// "ＭＳ Ｐゴシック", 12-pixel characters, Shift-JIS; whatever face the system substitutes.
HFONT CreateDialogFont();

// The window's top-left corner at the cursor, then moved into the work area: right edge, then
// left edge, then bottom edge, then top edge.
POINT PlaceInWorkArea(POINT cursor, SIZE windowSize, const RECT& workArea);

// MessageBoxA; an empty title stays empty (the system would put its own word in for none).
int ShowMessageBox(HWND owner, const std::string& text, const std::string& title, UINT type);
// A warning with an OK button.
int ShowWarning(HWND owner, const std::string& text, const std::string& title);

class Form;

class Control {
public:
    Control(Form& form, const ControlDesc& desc, Control* parent);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    HWND Handle() const { return window; }
    const std::string& Name() const { return name; }
    Kind GetKind() const { return kind; }
    Control* Parent() const { return parent; }
    Form& GetForm() const { return form; }
    int Id() const { return id; }

    bool Enabled() const;
    void SetEnabled(bool enabled);
    bool Visible() const;
    void SetVisible(bool visible);
    std::string Text() const;
    void SetText(const std::string& text);
    void SetFocus();
    bool Focused() const;
    // Position and size in the parent of the description.
    RECT Bounds() const { return RECT{x, y, x + width, y + height}; }

    // Makes the system window; the form calls it once, in table order.
    virtual void Create();

protected:
    friend class Form;
    friend class PageControl;
    // The window that holds the control and the control's offset in it.
    struct Place {
        HWND window;
        int dx, dy;
    };
    Place PlaceInWindow() const;
    void CreateControl(const char* className, DWORD style, DWORD exStyle, const char* text);
    virtual void OnCommand(WORD /*code*/) {}
    virtual void OnNotify(NMHDR* /*header*/) {}

    Form& form;
    Control* parent;
    Kind kind;
    std::string name;
    std::string caption;
    int x, y, width, height;
    DWORD extraStyle;
    int id;
    HWND window;
};

class CheckBox : public Control {
public:
    using Control::Control;
    bool Checked() const;
    void SetChecked(bool checked);
    std::function<void()> onClick;

    void Create() override;

protected:
    void OnCommand(WORD code) override;
};

class RadioButton : public Control {
public:
    using Control::Control;
    bool Checked() const;
    // Checking turns the other radio buttons of the same parent off and raises onClick;
    // unchecking raises nothing.
    void SetChecked(bool checked);
    std::function<void()> onClick;

    void Create() override;

protected:
    void OnCommand(WORD code) override;
};

class GroupBox : public Control {
public:
    using Control::Control;

    void Create() override;
};

class RadioGroup : public Control {
public:
    RadioGroup(Form& form, const ControlDesc& desc, Control* parent);
    int ItemIndex() const { return itemIndex; }
    int ItemCount() const { return static_cast<int>(buttons.size()); }
    // -1 clears the choice; an index outside -1 .. ItemCount()-1 is ignored.
    void SetItemIndex(int index);
    RadioButton& Item(int index) { return *buttons.at(index); }
    std::function<void()> onClick;

    void Create() override;

private:
    std::vector<std::string> items;
    std::vector<std::unique_ptr<RadioButton>> buttons;
    int itemIndex = -1;
};

class Label : public Control {
public:
    using Control::Control;

    void Create() override;
};

class Picture : public Control {
public:
    using Control::Control;
    ~Picture() override;
    // The picture takes over the bitmap and deletes it; an icon stays its owner's.
    void SetBitmap(HBITMAP bitmap);
    void SetIcon(HICON icon);

    void Create() override;

private:
    HBITMAP bitmap = nullptr;
};

class Button : public Control {
public:
    using Control::Control;
    void Click(); // as a click of the user: nothing when disabled
    std::function<void()> onClick;
    bool IsDefault() const { return (extraStyle & BS_DEFPUSHBUTTON) != 0; }

    void Create() override;

protected:
    void OnCommand(WORD code) override;
};

class Edit : public Control {
public:
    using Control::Control;
    // onChange runs after every change of the text, from the user or from SetText.
    std::function<void()> onChange;
    // onExit runs when the focus moves from the edit to another control of the form.
    std::function<void()> onExit;
    void SetText(const std::string& text);
    void Undo();
    bool CanUndo() const;

    void Create() override;

protected:
    void OnCommand(WORD code) override;

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data);
    unsigned changeCount = 0;
    bool undoing = false;
    bool undoReported = false;
};

class Page;

class PageControl : public Control {
public:
    using Control::Control;
    int PageCount() const { return static_cast<int>(pages.size()); }
    int ActivePageIndex() const { return activePage; }
    Page& ActivePage() const { return *pages.at(activePage); }
    void SetActivePage(int index); // raises onChange when the page changes
    std::function<void()> onChange;
    // Places the pages in the display area and shows the active one.
    void ShowActive();

    void Create() override;

protected:
    friend class Page;
    void OnNotify(NMHDR* header) override;
    void AddPage(Page* page);
    RECT PageRect() const;

private:
    std::vector<Page*> pages;
    int activePage = -1;
};

class Page : public Control {
public:
    using Control::Control;
    int Index() const { return index; }

    void Create() override;

private:
    static LRESULT CALLBACK PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    int index = -1;
};

class Form : public NWnd {
public:
    // A form of the given client size with the dialogs' font; the window is made by Create.
    Form(Application& application, int clientWidth, int clientHeight, const std::string& caption);
    ~Form() override;

    // Makes the window (hidden) and then the controls, in table order.
    void Create(const std::vector<ControlDesc>& controls);

    template <class T> T& Get(const std::string& controlName) {
        T* control = dynamic_cast<T*>(Find(controlName));
        if (!control)
            throw KivWinBaseException("Error Form::Get " + controlName);
        return *control;
    }
    Control* Find(const std::string& controlName) const;
    // Every control in the order of creation, radio group items included.
    const std::vector<Control*>& Controls() const { return registry; }

    void SetCaption(const std::string& caption) { SetWindowTitle(caption); }
    const std::string& Caption() const { return GetTitle(); }
    SIZE WindowSize();
    void MoveTo(POINT topLeft);
    // Places the form at the cursor inside the work area.
    void PlaceAtCursor();

    // Shows the form and runs its loop until it is closed. An exception that a handler threw is
    // rethrown here once the system has returned.
    void ShowModal();
    void Close();
    bool Closed() const { return closed; }
    // A button answering Escape (none unless set).
    void SetCancelButton(Button* button) { cancelButton = button; }

    Application& GetApplication() const { return application; }
    HFONT Font() const { return font; }

    // Runs a handler of a control from a system callback: an exception is parked for the loop.
    void Guard(const std::function<void()>& action);
    // Hands a child's notification to the control that sent it.
    LRESULT Forward(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;

    // The controls that Tab visits, in order.
    std::vector<Control*> TabOrder() const;
    void FocusNext(bool backwards);

private:
    friend class Control;
    int NextId() { return nextId++; }
    bool HandleKey(MSG& msg);

    Application& application;
    int clientWidth, clientHeight;
    HFONT font;
    std::vector<std::unique_ptr<Control>> controls;
    std::vector<Control*> registry; // every control, radio group items included
    int nextId = 1000;
    bool closed = false;
    HWND savedFocus = nullptr;
    Button* cancelButton = nullptr;
};

} // namespace forms
