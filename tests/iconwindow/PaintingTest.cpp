// Painting read back from the pixels of real windows on the virtual display.
#include <gtest/gtest.h>

#include <algorithm>

#include "WindowFixture.h"

using kivtest::IconWindowFixture;

namespace {

const ::testing::Environment* const oleEnvironment =
    ::testing::AddGlobalTestEnvironment(new kivtest::OleEnvironment);

// The pixels of a client rectangle of a window, row by row.
class Pixels {
public:
    Pixels(HWND window, RECT r) : width(r.right - r.left), height(r.bottom - r.top) {
        HDC source = GetDC(window);
        HDC memory = CreateCompatibleDC(source);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, source, r.left, r.top, SRCCOPY);
        GdiFlush();
        const auto* raw = static_cast<const DWORD*>(bits);
        data.assign(raw, raw + static_cast<size_t>(width) * static_cast<size_t>(height));
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(window, source);
    }
    // As a COLORREF.
    COLORREF At(int x, int y) const {
        const DWORD v =
            data[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    int Count(COLORREF other, bool equal) const {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                n += (At(x, y) == other) == equal;
        return n;
    }
    // Width and height of the box around the pixels that differ from the colour.
    SIZE Extent(COLORREF background) const {
        int left = width, top = height, right = -1, bottom = -1;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (At(x, y) != background) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        return right < 0 ? SIZE{0, 0} : SIZE{right - left + 1, bottom - top + 1};
    }
    bool operator==(const Pixels& other) const { return data == other.data; }

    const int width, height;

private:
    std::vector<DWORD> data;
};

class Painting : public IconWindowFixture {
protected:
    std::unique_ptr<kivtest::OpenKivWindow> w;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);

    // Builds, lays out and shows the window at (50, 50) with its client size.
    void Show() {
        w = MakeWindow();
        w->CreateWindow();
        w->LoadAndLayout(KivWindow::neverAbort);
        const SIZE client = w->GetClientSize();
        const RECT r = w->AdjustWindowRectEx(RECT{50, 50, 50 + client.cx, 50 + client.cy}, false);
        w->SetWindowRect(r, SWP_NOACTIVATE | SWP_SHOWWINDOW, HWND_TOPMOST);
        Repaint();
    }

    void Repaint() {
        w->InvalidateRect(nullptr, true);
        w->UpdateWindow();
    }

    void SetStates(int hover, int pressed) {
        w->SetHoverIndex(hover);
        w->SetPressedIndex(pressed);
        Repaint();
    }

    Pixels Cell(int index) { return Pixels(w->GetHandle(), w->GetItemRect(index)); }

    int IndexOf(const std::string& name) {
        for (size_t i = 0; i < w->GetItems().size(); ++i)
            if (w->GetItems()[i].displayName == name)
                return static_cast<int>(i);
        return -1;
    }
};

TEST_F(Painting, DefaultsGiveHoveredARaisedBorderAndPressedAFlatPushedOne) {
    MakeFiles({"a", "b"});
    Show(); // the defaults: SelectBorder only
    const SIZE cell = w->GetCellSize();
    const int midY = cell.cy / 2;

    const Pixels normal = Cell(0);
    EXPECT_EQ(normal.At(0, midY), face);
    EXPECT_EQ(normal.At(cell.cx - 1, midY), face);

    SetStates(0, -1);
    const Pixels hovered = Cell(0);
    EXPECT_EQ(hovered.At(0, midY), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(hovered.At(cell.cx - 1, midY), GetSysColor(COLOR_3DDKSHADOW));
    // The other cell keeps the normal look.
    EXPECT_EQ(Cell(1).At(0, midY), face);

    SetStates(0, 0);
    const Pixels pressed = Cell(0);
    // A flat frame: one colour on every side, not the background.
    EXPECT_NE(pressed.At(0, midY), face);
    EXPECT_EQ(pressed.At(0, midY), pressed.At(cell.cx - 1, midY));
    EXPECT_EQ(pressed.At(cell.cx / 2, 0), pressed.At(cell.cx / 2, cell.cy - 1));
    // Inside the frame everything moved one pixel right and down.
    int differing = 0;
    for (int y = 3; y < cell.cy - 4; ++y)
        for (int x = 3; x < cell.cx - 4; ++x)
            differing += normal.At(x, y) != pressed.At(x + 1, y + 1);
    EXPECT_EQ(differing, 0);
    EXPECT_FALSE(normal == pressed);
}

TEST_F(Painting, WithEveryFlagOffHoveredLooksNormalAndOnlyThePressMoves) {
    MakeFiles({"a", "b"});
    SetProperty([](KivWinProperty& p) {
        p.NormalBorder = p.NormalColor = p.SelectBorder = p.SelectColor = false;
    });
    Show();
    const Pixels normal = Cell(0);
    SetStates(0, -1);
    EXPECT_TRUE(Cell(0) == normal);
    SetStates(0, 0);
    const Pixels pressed = Cell(0);
    EXPECT_FALSE(pressed == normal);
    const SIZE cell = w->GetCellSize();
    int differing = 0;
    for (int y = 0; y < cell.cy - 1; ++y)
        for (int x = 0; x < cell.cx - 1; ++x)
            differing += normal.At(x, y) != pressed.At(x + 1, y + 1);
    EXPECT_EQ(differing, 0);
}

TEST_F(Painting, ColourFlagsFillTheCellWithTheHighlight) {
    MakeFiles({"a", "b"});
    SetProperty([](KivWinProperty& p) {
        p.NormalColor = true;
        p.SelectColor = false;
        p.SelectBorder = false;
    });
    Show();
    const SIZE cell = w->GetCellSize();
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    // Normal cells filled, inside the two-pixel margin only.
    EXPECT_EQ(Cell(0).At(2, cell.cy - 3), highlight);
    EXPECT_EQ(Cell(0).At(1, cell.cy - 3), face);
    SetStates(0, -1);
    EXPECT_EQ(Cell(0).At(2, cell.cy - 3), face);
    EXPECT_EQ(Cell(1).At(2, cell.cy - 3), highlight);
}

TEST_F(Painting, SeparatorCellsStayBlankWithoutShowSeparator) {
    MakeFiles({"a", "m.sep.kiv", "z"});
    for (bool show : {false, true}) {
        SCOPED_TRACE(show);
        SetProperty([&](KivWinProperty& p) { p.ShowSeparator = show; });
        Show();
        const int separator = IndexOf("m.sep.kiv") >= 0 ? IndexOf("m.sep.kiv") : IndexOf("m.sep");
        ASSERT_GE(separator, 0);
        ASSERT_EQ(w->GetItems()[static_cast<size_t>(separator)].type, KivItem::ItemSeparator);
        const Pixels pixels = Cell(separator);
        const int marked = pixels.Count(face, false);
        if (show)
            EXPECT_GT(marked, 0) << "no line drawn";
        else
            EXPECT_EQ(marked, 0) << "a separator cell was drawn on";
        // Its place and size are kept either way.
        EXPECT_GT(pixels.width, 0);
        EXPECT_GT(pixels.height, 0);
    }
}

TEST_F(Painting, IconSize48StretchesTheSystemIcon) {
    MakeFiles({"a.txt"});
    SIZE extent[2];
    int sizes[2] = {32, 48};
    for (int k = 0; k < 2; ++k) {
        SetProperty([&](KivWinProperty& p) {
            p.ItemTextPlace = 0;
            p.IconSize = sizes[k];
            p.SelectBorder = false;
        });
        Show();
        EXPECT_EQ(w->GetSystemIconSize().cx, 32) << "the large system list is used from 24 on";
        extent[k] = Cell(0).Extent(face);
        EXPECT_LE(extent[k].cx, sizes[k]);
    }
    ASSERT_GT(extent[0].cx, 8) << "no icon drawn";
    // Scaled by 48 / 32.
    EXPECT_GE(extent[1].cx * 10, extent[0].cx * 14);
    EXPECT_GE(extent[1].cy * 10, extent[0].cy * 14);
}

TEST_F(Painting, AJapaneseNameIsDrawn) {
    MakeFiles({"日本語の名前"});
    SetProperty([](KivWinProperty& p) { p.ItemTextPlace = 3; });
    Show();
    ASSERT_EQ(w->GetItems().size(), 1u);
    EXPECT_EQ(w->GetItems()[0].displayName, "日本語の名前");
    RECT text = w->GetTextRect();
    const RECT cell = w->GetItemRect(0);
    OffsetRect(&text, cell.left, cell.top);
    const Pixels pixels(w->GetHandle(), text);
    EXPECT_GT(pixels.Count(face, false), 30);
}

TEST_F(Painting, OnlyTheCellsAPaintTouchesAskTheShellForTheirIcon) {
    MakeFiles({"a", "b", "c"});
    Show();
    EXPECT_EQ(w->GetCachedIconCount(), 3);
    // Only the cell that a paint touches asks the shell.
    auto again = MakeWindow();
    again->CreateWindow();
    again->LoadAndLayout(KivWindow::neverAbort);
    const SIZE client = again->GetClientSize();
    const RECT r =
        again->AdjustWindowRectEx(RECT{400, 300, 400 + client.cx, 300 + client.cy}, false);
    again->SetWindowRect(r, SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOREDRAW, HWND_TOPMOST);
    ValidateRect(again->GetHandle(), nullptr);
    const RECT first = again->GetItemRect(0);
    const RECT inside{first.left + 2, first.top + 2, first.left + 4, first.top + 4};
    again->InvalidateRect(&inside, true);
    again->UpdateWindow();
    EXPECT_EQ(again->GetCachedIconCount(), 1);
}

} // namespace
