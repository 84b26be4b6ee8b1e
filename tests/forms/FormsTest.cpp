// The form layer on real windows: placement, sizes and positions, events from code and from the
// user, keyboard navigation and the default button.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Forms.h"
#include <commctrl.h>

using namespace forms;

namespace {

struct PlaceCase {
    POINT cursor;
    SIZE size;
    POINT expected;
};

class PlaceInWorkAreaTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(PlaceInWorkAreaTest, MovesTheWindowIntoTheWorkArea) {
    const RECT workArea{10, 20, 1010, 740};
    const POINT p = PlaceInWorkArea(GetParam().cursor, GetParam().size, workArea);
    EXPECT_EQ(p.x, GetParam().expected.x);
    EXPECT_EQ(p.y, GetParam().expected.y);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlaceInWorkAreaTest,
    ::testing::Values(PlaceCase{{100, 200}, {300, 100}, {100, 200}},   // fits at the cursor
                      PlaceCase{{900, 200}, {300, 100}, {710, 200}},   // right edge pulled in
                      PlaceCase{{100, 700}, {300, 100}, {100, 640}},   // bottom edge pulled in
                      PlaceCase{{0, 0}, {300, 100}, {10, 20}},         // left and top pushed in
                      PlaceCase{{900, 700}, {2000, 900}, {10, 20}},    // too large: left, top win
                      PlaceCase{{710, 640}, {300, 100}, {710, 640}})); // exactly at the corner

class FormTest : public ::testing::Test {
protected:
    Application application{GetModuleHandleA(nullptr)};
    std::vector<std::string> events;

    static RECT ClientRectIn(HWND control, HWND form) {
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    static void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    static void Type(HWND edit, const std::string& text) {
        for (char c : text)
            SendMessageA(edit, WM_CHAR, static_cast<BYTE>(c), 1);
    }
};

const std::vector<ControlDesc> renameLike = {
    {Kind::Picture, "Icon", nullptr, 8, 8, 32, 32, nullptr},
    {Kind::Label, "Prompt", nullptr, 48, 12, 0, 0, "新しい名前(&N)"},
    {Kind::Edit, "NameEdit", nullptr, 48, 36, 321, 20, "", ES_OEMCONVERT},
    {Kind::Button, "OkButton", nullptr, 224, 96, 64, 21, "OK", BS_DEFPUSHBUTTON},
    {Kind::Button, "CancelButton", nullptr, 304, 96, 64, 21, "キャンセル"},
};

TEST_F(FormTest, ClientSizeStylesFontAndPositions) {
    Form form(application, 377, 126, "名前の変更");
    form.Create(renameLike);
    RECT client;
    GetClientRect(form.GetHandle(), &client);
    EXPECT_EQ(client.right, 377);
    EXPECT_EQ(client.bottom, 126);
    const LONG_PTR style = GetWindowLongPtrA(form.GetHandle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    char caption[64];
    GetWindowTextA(form.GetHandle(), caption, sizeof(caption));
    EXPECT_STREQ(caption, "名前の変更");

    LOGFONTA font{};
    GetObjectA(form.Font(), sizeof(font), &font);
    EXPECT_EQ(font.lfHeight, -12);
    EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_STREQ(font.lfFaceName, "ＭＳ Ｐゴシック");

    Edit& edit = form.Get<Edit>("NameEdit");
    const RECT r = ClientRectIn(edit.Handle(), form.GetHandle());
    EXPECT_EQ(r.left, 48);
    EXPECT_EQ(r.top, 36);
    EXPECT_EQ(r.right - r.left, 321);
    EXPECT_EQ(r.bottom - r.top, 20);
    EXPECT_TRUE(GetWindowLongPtrA(edit.Handle(), GWL_STYLE) & ES_OEMCONVERT);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(edit.Handle(), WM_GETFONT, 0, 0)), form.Font());
    // A label of width 0 takes the size of its text.
    const RECT label = ClientRectIn(form.Get<Label>("Prompt").Handle(), form.GetHandle());
    EXPECT_GT(label.right - label.left, 40);
    EXPECT_GE(label.bottom - label.top, 10);
    EXPECT_THROW(form.Get<Button>("NameEdit"), KivWinBaseException);
}

TEST_F(FormTest, EnterPressesTheDefaultButtonAndEscapeNothingUnlessSet) {
    Form form(application, 377, 126, "t");
    form.Create(renameLike);
    int ok = 0, cancel = 0;
    form.Get<Button>("OkButton").onClick = [&] { ++ok; };
    form.Get<Button>("CancelButton").onClick = [&] { ++cancel; };
    form.ShowWindow(SW_SHOW);
    SetForegroundWindow(form.GetHandle());
    HWND edit = form.Get<Edit>("NameEdit").Handle();
    SetFocus(edit);
    auto press = [&](WPARAM key) {
        MSG msg{edit, WM_KEYDOWN, key, 1, 0, {0, 0}};
        IsDialogMessageA(form.GetHandle(), &msg);
    };
    press(VK_RETURN);
    EXPECT_EQ(ok, 1);
    press(VK_ESCAPE);
    EXPECT_EQ(cancel, 0) << "Escape answered by a button that is not the cancel button";
    form.SetCancelButton(&form.Get<Button>("CancelButton"));
    press(VK_ESCAPE);
    EXPECT_EQ(cancel, 1);
    // A disabled default button is not pressed.
    form.Get<Button>("OkButton").SetEnabled(false);
    press(VK_RETURN);
    EXPECT_EQ(ok, 1);
}

const std::vector<ControlDesc> pagesAndGroups = {
    {Kind::PageControl, "Pages", nullptr, 8, 8, 300, 200, nullptr},
    {Kind::Page, "First", "Pages", 0, 0, 0, 0, "一つ目"},
    {Kind::Page, "Second", "Pages", 0, 0, 0, 0, "二つ目"},
    {Kind::GroupBox, "Group", "First", 8, 8, 200, 100, "グループ"},
    {Kind::CheckBox, "Check", "Group", 12, 20, 100, 17, "チェック"},
    {Kind::RadioButton, "RadioA", "Group", 12, 40, 100, 17, "A"},
    {Kind::RadioButton, "RadioB", "Group", 12, 60, 100, 17, "B"},
    {Kind::RadioGroup, "Choice", "Second", 8, 8, 201, 105, "選択\n一\n二\n三\n四"},
    {Kind::Edit, "Number", "Second", 8, 120, 57, 20, "0"},
    {Kind::Button, "Apply", nullptr, 8, 220, 64, 21, "適用"},
};

TEST_F(FormTest, GroupsOffsetTheirContentsAndPagesShowOneAtATime) {
    Form form(application, 320, 250, "t");
    form.Create(pagesAndGroups);
    PageControl& pages = form.Get<PageControl>("Pages");
    Page& first = form.Get<Page>("First");
    EXPECT_EQ(pages.PageCount(), 2);
    EXPECT_EQ(GetParent(first.Handle()), pages.Handle());
    CheckBox& check = form.Get<CheckBox>("Check");
    EXPECT_EQ(GetParent(check.Handle()), first.Handle());
    RECT r;
    GetWindowRect(check.Handle(), &r);
    MapWindowPoints(nullptr, first.Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 8 + 12);
    EXPECT_EQ(r.top, 8 + 20);
    // The page lies in the page control's display area, below the tabs.
    GetWindowRect(first.Handle(), &r);
    MapWindowPoints(nullptr, pages.Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_GT(r.top, 10);
    EXPECT_LT(r.bottom, 200);

    form.ShowWindow(SW_SHOW);
    EXPECT_TRUE(check.Visible());
    EXPECT_FALSE(form.Get<Edit>("Number").Visible());
    int changes = 0;
    pages.onChange = [&] { ++changes; };
    pages.SetActivePage(1);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(check.Visible());
    EXPECT_TRUE(form.Get<Edit>("Number").Visible());
    pages.SetActivePage(1);
    EXPECT_EQ(changes, 1);
    // A click on a tab, as the control reports it.
    SendMessageA(pages.Handle(), TCM_SETCURSEL, 0, 0);
    NMHDR header{pages.Handle(), static_cast<UINT_PTR>(pages.Id()), TCN_SELCHANGE};
    SendMessageA(pages.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
    SendMessageA(form.GetHandle(), WM_NOTIFY, pages.Id(), reinterpret_cast<LPARAM>(&header));
    EXPECT_EQ(pages.ActivePageIndex(), 0);
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(check.Visible());
}

TEST_F(FormTest, SettingFromCodeRaisesTheUsersEventOnlyWhenTheStateChanges) {
    Form form(application, 320, 250, "t");
    form.Create(pagesAndGroups);
    CheckBox& check = form.Get<CheckBox>("Check");
    RadioButton& a = form.Get<RadioButton>("RadioA");
    RadioButton& b = form.Get<RadioButton>("RadioB");
    RadioGroup& choice = form.Get<RadioGroup>("Choice");
    Edit& number = form.Get<Edit>("Number");
    check.onClick = [&] { events.push_back(check.Checked() ? "check on" : "check off"); };
    a.onClick = [&] { events.push_back("A"); };
    b.onClick = [&] { events.push_back("B"); };
    choice.onClick = [&] { events.push_back("choice " + std::to_string(choice.ItemIndex())); };
    number.onChange = [&] { events.push_back("number " + number.Text()); };

    check.SetChecked(true);
    check.SetChecked(true);
    SendMessageA(check.Handle(), BM_CLICK, 0, 0); // the user's click
    check.SetChecked(false);
    a.SetChecked(true);
    a.SetChecked(true);
    SendMessageA(b.Handle(), BM_CLICK, 0, 0);
    SendMessageA(b.Handle(), BM_CLICK, 0, 0); // already checked: no change
    a.SetChecked(false);                      // unchecking raises nothing
    choice.SetItemIndex(2);
    choice.SetItemIndex(2);
    choice.SetItemIndex(4); // outside the items: ignored
    SendMessageA(choice.Item(0).Handle(), BM_CLICK, 0, 0);
    choice.SetItemIndex(-1);
    number.SetText("12");
    number.SetText("12"); // setting the text is a change even when it is the same
    SetFocus(number.Handle());
    SendMessageA(number.Handle(), EM_SETSEL, 2, 2);
    Type(number.Handle(), "3");

    const std::vector<std::string> expected = {"check on",  "check off", "A",
                                               "B",         "choice 2",  "choice 0",
                                               "number 12", "number 12", "number 123"};
    EXPECT_EQ(events, expected);
    EXPECT_FALSE(a.Checked());
    EXPECT_TRUE(b.Checked());
    EXPECT_EQ(choice.ItemIndex(), -1);
    for (int i = 0; i < choice.ItemCount(); ++i)
        EXPECT_FALSE(choice.Item(i).Checked());
}

TEST_F(FormTest, ExitRunsWhenTheFocusMovesToAnotherControlOnly) {
    Form form(application, 320, 250, "t");
    form.Create(pagesAndGroups);
    form.ShowWindow(SW_SHOW);
    SetForegroundWindow(form.GetHandle());
    form.Get<PageControl>("Pages").SetActivePage(1);
    Edit& number = form.Get<Edit>("Number");
    int exits = 0;
    number.onExit = [&] { ++exits; };
    number.SetFocus();
    ASSERT_TRUE(number.Focused());
    form.Get<Button>("Apply").SetFocus();
    EXPECT_EQ(exits, 1);
    number.SetFocus();
    SetFocus(nullptr); // the focus leaves the form
    EXPECT_EQ(exits, 1);
}

TEST_F(FormTest, TabVisitsEnabledVisibleStopsAndOneRadioButtonPerRun) {
    Form form(application, 320, 250, "t");
    form.Create(pagesAndGroups);
    form.ShowWindow(SW_SHOW);
    SetForegroundWindow(form.GetHandle());
    form.Get<RadioButton>("RadioB").SetChecked(true);
    std::vector<std::string> visited;
    for (Control* c : form.TabOrder())
        visited.push_back(c->Name());
    EXPECT_EQ(visited, (std::vector<std::string>{"Pages", "Check", "RadioB", "Apply"}));

    form.Get<CheckBox>("Check").SetEnabled(false);
    form.Get<PageControl>("Pages").SetFocus();
    SendMessageA(form.GetHandle(), WM_NEXTDLGCTL, 0, 0);
    EXPECT_TRUE(form.Get<RadioButton>("RadioB").Focused());
    SendMessageA(form.GetHandle(), WM_NEXTDLGCTL, 0, 0);
    EXPECT_TRUE(form.Get<Button>("Apply").Focused());
    SendMessageA(form.GetHandle(), WM_NEXTDLGCTL, 0, 0);
    EXPECT_TRUE(form.Get<PageControl>("Pages").Focused());
    SendMessageA(form.GetHandle(), WM_NEXTDLGCTL, 1, 0);
    EXPECT_TRUE(form.Get<Button>("Apply").Focused());
}

TEST_F(FormTest, ArrowKeysMoveTheChoiceAmongTheRadioButtonsOfOneParent) {
    Form form(application, 320, 250, "t");
    form.Create(pagesAndGroups);
    RadioButton& a = form.Get<RadioButton>("RadioA");
    RadioButton& b = form.Get<RadioButton>("RadioB");
    b.onClick = [&] { events.push_back("B"); };
    a.SetChecked(true);
    bool aChecked = true, bChecked = false;
    form.Get<Button>("Apply").onClick = [&] {
        aChecked = a.Checked();
        bChecked = b.Checked();
        form.Close();
    };
    form.ShowWindow(SW_SHOW);
    SetForegroundWindow(form.GetHandle());
    a.SetFocus();
    PostMessageA(a.Handle(), WM_KEYDOWN, VK_DOWN, 1);
    PostMessageA(form.GetHandle(), WM_COMMAND,
                 MAKEWPARAM(form.Get<Button>("Apply").Id(), BN_CLICKED), 0);
    form.ShowModal();
    EXPECT_TRUE(bChecked);
    EXPECT_FALSE(aChecked);
    EXPECT_EQ(events, std::vector<std::string>{"B"});
}

TEST_F(FormTest, ModalLoopEndsWhenTheFormClosesAndRethrowsAHandlersException) {
    Form form(application, 377, 126, "t");
    form.Create(renameLike);
    form.Get<Button>("OkButton").onClick = [&] { form.Close(); };
    PostMessageA(form.GetHandle(), WM_COMMAND,
                 MAKEWPARAM(form.Get<Button>("OkButton").Id(), BN_CLICKED),
                 reinterpret_cast<LPARAM>(form.Get<Button>("OkButton").Handle()));
    form.ShowModal();
    EXPECT_TRUE(form.Closed());

    Form second(application, 377, 126, "t");
    second.Create(renameLike);
    second.Get<Button>("CancelButton").onClick = [] { throw std::runtime_error("boom"); };
    Button& cancel = second.Get<Button>("CancelButton");
    PostMessageA(second.GetHandle(), WM_COMMAND, MAKEWPARAM(cancel.Id(), BN_CLICKED),
                 reinterpret_cast<LPARAM>(cancel.Handle()));
    EXPECT_THROW(second.ShowModal(), std::runtime_error);
}

} // namespace
