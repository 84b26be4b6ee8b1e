// GDI objects shared by reference count, device contexts that keep what was selected through them,
// and the paint context the dispatcher hands to OnPaint. Every object here is a real GDI object;
// GetObjectType on its handle tells whether it still exists.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "KivWinBaseException.h"
#include "NGdiobj.h"
#include "NWnd.h"
#include "Ndc.h"

namespace {

bool Alive(HGDIOBJ handle) {
    return handle && GetObjectType(handle) != 0;
}

LOGFONTA FontOf(const NGdiobj& font) {
    LOGFONTA logFont{};
    EXPECT_EQ(GetObjectA(font.GetHandle(), sizeof(logFont), &logFont),
              static_cast<int>(sizeof(logFont)));
    return logFont;
}

// The menu font as the system reports it through the full structure, for comparison.
LOGFONTA SystemMenuFont() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof(metrics);
    EXPECT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
    return metrics.lfMenuFont;
}

// ---------------------------------------------------------------------------------------------
// NGdiobj: sharing and the single deletion

TEST(GdiObject, CopiesShareOneHandleAndOnlyTheLastHolderDeletesIt) {
    auto first = std::make_unique<NSolidBrush>(RGB(10, 20, 30));
    const HGDIOBJ handle = first->GetHandle();
    ASSERT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_BRUSH));

    auto second = std::make_unique<NSolidBrush>(*first); // copy construction
    NGdiobj third;
    third = *second; // assignment into an empty holder
    EXPECT_EQ(second->GetHandle(), handle);
    EXPECT_EQ(third.GetHandle(), handle);
    EXPECT_EQ(third.GetReferenceCount(), 3);

    first.reset();
    EXPECT_TRUE(Alive(handle));
    EXPECT_EQ(third.GetReferenceCount(), 2);
    second.reset();
    EXPECT_TRUE(Alive(handle));
    EXPECT_EQ(third.GetReferenceCount(), 1);

    third.Release();
    EXPECT_FALSE(Alive(handle));
    EXPECT_EQ(third.GetHandle(), nullptr);
    EXPECT_EQ(third.GetReferenceCount(), 0);
    third.Release(); // holds nothing any more: no second DeleteObject
    EXPECT_EQ(third.GetHandle(), nullptr);
}

TEST(GdiObject, AssignmentReleasesWhatWasHeldBefore) {
    NSolidBrush red(RGB(255, 0, 0));
    NSolidBrush blue(RGB(0, 0, 255));
    const HGDIOBJ redHandle = red.GetHandle();
    const HGDIOBJ blueHandle = blue.GetHandle();

    NGdiobj holder = red;
    holder = blue; // red keeps its other holder
    EXPECT_TRUE(Alive(redHandle));
    EXPECT_EQ(red.GetReferenceCount(), 1);
    EXPECT_EQ(blue.GetReferenceCount(), 2);

    red = blue; // red's last holder lets go
    EXPECT_FALSE(Alive(redHandle));
    EXPECT_EQ(red.GetHandle(), blueHandle);
    EXPECT_EQ(blue.GetReferenceCount(), 3);
}

TEST(GdiObject, SelfAssignmentAndAssignmentBetweenCopiesKeepTheObject) {
    NSolidBrush solid(RGB(1, 2, 3));
    NGdiobj& brush = solid;
    const HGDIOBJ handle = brush.GetHandle();
    NGdiobj copy = brush;
    const NGdiobj& alias = brush;
    brush = alias;
    EXPECT_TRUE(Alive(handle));
    EXPECT_EQ(brush.GetReferenceCount(), 2);
    copy = brush;
    brush = copy;
    EXPECT_TRUE(Alive(handle));
    EXPECT_EQ(brush.GetReferenceCount(), 2);
}

TEST(GdiObject, AttachLeavesTheOldObjectToItsOtherHoldersOrDeletesIt) {
    NSolidBrush shared(RGB(4, 5, 6));
    const HGDIOBJ sharedHandle = shared.GetHandle();
    NGdiobj other = shared;

    const HGDIOBJ fresh = CreateSolidBrush(RGB(7, 8, 9));
    other.Attach(fresh);
    EXPECT_TRUE(Alive(sharedHandle));
    EXPECT_EQ(shared.GetReferenceCount(), 1);
    EXPECT_EQ(other.GetHandle(), fresh);
    EXPECT_EQ(other.GetReferenceCount(), 1);

    other.Attach(CreateSolidBrush(RGB(9, 9, 9))); // fresh had no other holder
    EXPECT_FALSE(Alive(fresh));
}

TEST(GdiObject, EmptyHolderCopiesAndReleasesHarmlessly) {
    NGdiobj empty;
    EXPECT_EQ(empty.GetHandle(), nullptr);
    NGdiobj copy = empty;
    copy.AddRef();
    copy.Release();
    empty.Release();
    EXPECT_EQ(copy.GetHandle(), nullptr);
    EXPECT_EQ(copy.GetReferenceCount(), 0);
}

// ---------------------------------------------------------------------------------------------
// NFont

TEST(Font, HeightZeroIsTheSystemMenuFont) {
    const LOGFONTA menu = SystemMenuFont();
    NFont font(0);
    ASSERT_EQ(GetObjectType(font.GetHandle()), static_cast<DWORD>(OBJ_FONT));
    const LOGFONTA made = FontOf(font);
    EXPECT_EQ(made.lfHeight, menu.lfHeight);
    EXPECT_EQ(made.lfWidth, menu.lfWidth);
    EXPECT_EQ(made.lfWeight, menu.lfWeight);
    EXPECT_EQ(made.lfCharSet, menu.lfCharSet);
    EXPECT_STREQ(made.lfFaceName, menu.lfFaceName);
}

TEST(Font, NonZeroHeightReplacesTheHeightAndClearsTheWidth) {
    const LOGFONTA menu = SystemMenuFont();
    for (const int height : {16, -12, 40, 1}) {
        SCOPED_TRACE(height);
        NFont font(height);
        const LOGFONTA made = FontOf(font);
        EXPECT_EQ(made.lfHeight, height);
        EXPECT_EQ(made.lfWidth, 0);
        EXPECT_EQ(made.lfWeight, menu.lfWeight);
        EXPECT_STREQ(made.lfFaceName, menu.lfFaceName);
    }
}

// NFont asks with the structure that lacks iPaddedBorderWidth, because older systems refuse the
// full one; the system must answer that size with the same menu font.
TEST(Font, TheShortMetricsStructureIsAnsweredLikeTheFullOne) {
    NONCLIENTMETRICSA shortMetrics{};
    shortMetrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
    ASSERT_EQ(shortMetrics.cbSize, 340u);
    ASSERT_TRUE(
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, shortMetrics.cbSize, &shortMetrics, 0));
    const LOGFONTA full = SystemMenuFont();
    EXPECT_EQ(std::memcmp(&shortMetrics.lfMenuFont, &full, sizeof(full)), 0);
    EXPECT_NE(shortMetrics.lfMenuFont.lfFaceName[0], '\0');
}

// ---------------------------------------------------------------------------------------------
// Device contexts

// A window of a class with its own DC: the DC outlives every GetDC/ReleaseDC, so what an Ndc
// leaves selected in it can be checked after the Ndc is gone.
class OwnDcWindow : public NWnd {
public:
    explicit OwnDcWindow(NApp* app, DWORD windowStyle = WS_POPUP) : NWnd(app) {
        static const ATOM atom = [] {
            WNDCLASSA wc{};
            wc.style = CS_OWNDC;
            wc.lpfnWndProc = DefWindowProcA;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "KivTestOwnDc";
            return RegisterClassA(&wc);
        }();
        EXPECT_NE(atom, 0);
        window = CreateWindowExA(0, "KivTestOwnDc", "own dc", windowStyle, 0, 0, 120, 80, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(window, nullptr);
    }
    // The object does not own this DC: it belongs to the window.
    HDC OwnDc() const { return GetDC(window); }
};

struct Selection {
    HGDIOBJ pen, brush, font, bitmap;
};

Selection SelectedIn(HDC dc) {
    return Selection{GetCurrentObject(dc, OBJ_PEN), GetCurrentObject(dc, OBJ_BRUSH),
                     GetCurrentObject(dc, OBJ_FONT), GetCurrentObject(dc, OBJ_BITMAP)};
}

void ExpectSameSelection(const Selection& actual, const Selection& expected) {
    EXPECT_EQ(actual.pen, expected.pen);
    EXPECT_EQ(actual.brush, expected.brush);
    EXPECT_EQ(actual.font, expected.font);
    EXPECT_EQ(actual.bitmap, expected.bitmap);
}

class DcTest : public ::testing::Test {
protected:
    NApp app{GetModuleHandleA(nullptr)};
};

TEST_F(DcTest, SelectedObjectsOutliveTheCallersCopiesUntilTheDcIsGone) {
    OwnDcWindow window(&app);
    const HDC own = window.OwnDc();
    ASSERT_NE(own, nullptr);
    const Selection original = SelectedIn(own);
    ASSERT_NE(original.brush, nullptr);
    ASSERT_NE(original.font, nullptr);

    HGDIOBJ brushHandle = nullptr, fontHandle = nullptr, penHandle = nullptr;
    {
        NWindowDc dc(&window);
        ASSERT_EQ(dc.GetHandle(), own);
        {
            NSolidBrush brush(RGB(200, 10, 10));
            NFont font(18);
            NGdiobj pen;
            pen.Attach(CreatePen(PS_SOLID, 3, RGB(0, 0, 255)));
            brushHandle = brush.GetHandle();
            fontHandle = font.GetHandle();
            penHandle = pen.GetHandle();
            dc.SelectObject(brush);
            dc.SelectObject(font);
            dc.SelectObject(pen);
            dc.SelectObject(brush); // a second selection holds a second copy
            EXPECT_EQ(brush.GetReferenceCount(), 3);
        }
        // The caller's copies are gone; the DC's copies keep the objects selected and usable.
        EXPECT_EQ(dc.GetHeldCount(), 4u);
        EXPECT_TRUE(Alive(brushHandle));
        EXPECT_TRUE(Alive(fontHandle));
        EXPECT_TRUE(Alive(penHandle));
        EXPECT_EQ(GetCurrentObject(own, OBJ_BRUSH), brushHandle);
        EXPECT_EQ(GetCurrentObject(own, OBJ_FONT), fontHandle);
        EXPECT_EQ(GetCurrentObject(own, OBJ_PEN), penHandle);
        EXPECT_TRUE(PatBlt(own, 0, 0, 20, 20, PATCOPY));
        EXPECT_TRUE(Rectangle(own, 2, 2, 40, 30));
        const SIZE extent = dc.GetTextExtentPoint32("abc", 3);
        EXPECT_GT(extent.cy, 0);
    }
    // Destruction selected the originals back and only then deleted the objects.
    ExpectSameSelection(SelectedIn(own), original);
    EXPECT_FALSE(Alive(brushHandle));
    EXPECT_FALSE(Alive(fontHandle));
    EXPECT_FALSE(Alive(penHandle));
}

// Being selected is not what keeps the objects: some systems only postpone deleting a selected
// object until it is deselected. Deselecting them behind the Ndc's back must not end them.
TEST_F(DcTest, TheDcsOwnCopiesKeepTheObjectsEvenWhenDeselected) {
    OwnDcWindow window(&app);
    const HDC own = window.OwnDc();
    HGDIOBJ brushHandle = nullptr, fontHandle = nullptr;
    {
        NWindowDc dc(&window);
        {
            NSolidBrush brush(RGB(90, 80, 70));
            NFont font(14);
            brushHandle = brush.GetHandle();
            fontHandle = font.GetHandle();
            dc.SelectObject(brush);
            dc.SelectObject(font);
        }
        ::SelectObject(own, GetStockObject(WHITE_BRUSH));
        ::SelectObject(own, GetStockObject(SYSTEM_FONT));
        EXPECT_TRUE(Alive(brushHandle));
        EXPECT_TRUE(Alive(fontHandle));
        // Still usable: select and draw with them again.
        EXPECT_EQ(::SelectObject(own, brushHandle), GetStockObject(WHITE_BRUSH));
        EXPECT_TRUE(PatBlt(own, 0, 0, 10, 10, PATCOPY));
    }
    EXPECT_FALSE(Alive(brushHandle));
    EXPECT_FALSE(Alive(fontHandle));
}

TEST_F(DcTest, AnExceptionUnwindingThroughTheDcRestoresAndDeletesAsWell) {
    OwnDcWindow window(&app);
    const HDC own = window.OwnDc();
    const Selection original = SelectedIn(own);
    HGDIOBJ brushHandle = nullptr, fontHandle = nullptr;
    std::string message;
    try {
        NWindowDc dc(&window);
        NSolidBrush brush(RGB(0, 200, 0));
        NFont font(22);
        brushHandle = brush.GetHandle();
        fontHandle = font.GetHandle();
        dc.SelectObject(brush);
        dc.SelectObject(font);
        dc.SetBkMode(0); // not a background mode: the call fails
        FAIL() << "SetBkMode(0) did not throw";
    } catch (const KivWinBaseException& e) {
        message = e.what();
    }
    EXPECT_EQ(message, "Error Ndc::SetBkMode");
    ExpectSameSelection(SelectedIn(own), original);
    EXPECT_FALSE(Alive(brushHandle));
    EXPECT_FALSE(Alive(fontHandle));
}

// BeginPaint on a window with its own DC hands out that DC, so NPaintDc's own restore can be
// checked as well.
TEST_F(DcTest, PaintDcRestoresTheDcAndValidatesTheWindow) {
    OwnDcWindow window(&app, WS_POPUP | WS_VISIBLE); // only a visible window has an update region
    UpdateWindow(window.GetHandle());
    const HDC own = window.OwnDc();
    const Selection original = SelectedIn(own);
    ASSERT_TRUE(::InvalidateRect(window.GetHandle(), nullptr, FALSE));
    ASSERT_TRUE(GetUpdateRect(window.GetHandle(), nullptr, FALSE));
    HGDIOBJ brushHandle = nullptr, fontHandle = nullptr;
    {
        NPaintDc dc(window);
        ASSERT_EQ(dc.GetHandle(), own);
        EXPECT_EQ(dc.GetPaintStruct().hdc, own);
        dc.SelectObject(NSolidBrush(RGB(5, 6, 7)));
        dc.SelectObject(NFont(30));
        brushHandle = GetCurrentObject(own, OBJ_BRUSH);
        fontHandle = GetCurrentObject(own, OBJ_FONT);
        EXPECT_NE(brushHandle, original.brush);
        EXPECT_NE(fontHandle, original.font);
        EXPECT_TRUE(Alive(brushHandle));
    }
    ExpectSameSelection(SelectedIn(own), original);
    EXPECT_FALSE(Alive(brushHandle));
    EXPECT_FALSE(Alive(fontHandle));
    EXPECT_FALSE(GetUpdateRect(window.GetHandle(), nullptr, FALSE));
}

TEST_F(DcTest, ScreenDcWithoutAWindowMeasuresText) {
    NWindowDc dc(nullptr);
    ASSERT_NE(dc.GetHandle(), nullptr);
    dc.SelectObject(NFont(24));
    // "アイコン" is eight bytes in code page 932; the extent must be that of the same text
    // measured directly.
    const char text[] = "アイコン";
    ASSERT_EQ(std::strlen(text), 8u);
    const SIZE size = dc.GetTextExtentPoint32(text, 8);
    SIZE direct{};
    ASSERT_TRUE(GetTextExtentPoint32A(dc.GetHandle(), text, 8, &direct));
    EXPECT_EQ(size.cx, direct.cx);
    EXPECT_EQ(size.cy, direct.cy);
    EXPECT_GT(size.cx, 0);
    EXPECT_GE(size.cy, 20);
}

TEST_F(DcTest, OperationsReturnThePreviousState) {
    NWnd window(&app);
    window.SetStyle(WS_POPUP);
    window.SetWindowRect(RECT{0, 0, 200, 100}, 0, nullptr);
    window.CreateWindow();
    NWindowDc dc(&window);
    ASSERT_NE(dc.GetHandle(), nullptr);

    EXPECT_EQ(dc.SetBkMode(TRANSPARENT), OPAQUE);
    EXPECT_EQ(dc.SetBkMode(OPAQUE), TRANSPARENT);

    EXPECT_EQ(dc.SetMapMode(MM_ANISOTROPIC), MM_TEXT);
    const SIZE window1 = dc.SetWindowExtEx(SIZE{32, 32});
    EXPECT_EQ(window1.cx, 1);
    EXPECT_EQ(window1.cy, 1);
    const SIZE viewport1 = dc.SetViewportExtEx(SIZE{48, 48});
    EXPECT_EQ(viewport1.cx, 1);
    EXPECT_EQ(viewport1.cy, 1);
    const SIZE window2 = dc.SetWindowExtEx(SIZE{16, 16});
    EXPECT_EQ(window2.cx, 32);
    EXPECT_EQ(window2.cy, 32);
    EXPECT_EQ(dc.SetMapMode(MM_TEXT), MM_ANISOTROPIC);

    const POINT origin0 = dc.SetViewportOrgEx(POINT{5, 6});
    EXPECT_EQ(origin0.x, 0);
    EXPECT_EQ(origin0.y, 0);
    const POINT origin1 = dc.OffsetViewportOrgEx(POINT{2, 3});
    EXPECT_EQ(origin1.x, 5);
    EXPECT_EQ(origin1.y, 6);
    POINT now{};
    GetViewportOrgEx(dc.GetHandle(), &now);
    EXPECT_EQ(now.x, 7);
    EXPECT_EQ(now.y, 9);

    EXPECT_EQ(dc.SetTextColor(RGB(1, 2, 3)), RGB(0, 0, 0));
    EXPECT_EQ(dc.SetTextColor(RGB(4, 5, 6)), RGB(1, 2, 3));

    RECT edge{10, 10, 60, 40};
    EXPECT_NE(dc.DrawEdge(&edge, EDGE_ETCHED, BF_RECT), 0);
    NSolidBrush brush(RGB(9, 9, 9));
    RECT fill{0, 0, 8, 8};
    EXPECT_NE(dc.FillRect(&fill, brush), 0);

    RECT textRect{0, 0, 150, 0};
    const int height =
        dc.DrawTextEx("表示テスト", -1, &textRect, DT_CALCRECT | DT_SINGLELINE, nullptr);
    EXPECT_GT(height, 0);
    EXPECT_EQ(textRect.bottom - textRect.top, height);
}

// A DC object whose DC could not be had (GetDC on a destroyed window answers null): every checked
// operation throws its own message, the unchecked ones pass the result back.
struct FailureCase {
    const char* message;
    std::function<void(Ndc&)> call;
};

class InvalidDcTest : public DcTest {
protected:
    NWnd window{&app};
    std::unique_ptr<NWindowDc> dc;

    void SetUp() override {
        window.SetStyle(WS_POPUP);
        window.CreateWindow();
        ASSERT_TRUE(window.DestroyWindow());
        dc = std::make_unique<NWindowDc>(&window); // the stale handle is kept: GetDC fails
        ASSERT_EQ(dc->GetHandle(), nullptr);
    }
    static void ExpectThrows(Ndc& dc, const FailureCase& c) {
        SCOPED_TRACE(c.message);
        try {
            c.call(dc);
            ADD_FAILURE() << "nothing thrown";
        } catch (const KivWinBaseException& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
};

TEST_F(InvalidDcTest, EveryCheckedOperationThrowsItsMessage) {
    const FailureCase cases[] = {
        {"Error Ndc::GetTextExtentPoint32", [](Ndc& d) { d.GetTextExtentPoint32("abc", 3); }},
        {"Error Ndc::SetBkMode", [](Ndc& d) { d.SetBkMode(TRANSPARENT); }},
        {"Error Ndc::SetMapMode", [](Ndc& d) { d.SetMapMode(MM_ANISOTROPIC); }},
        {"Error Ndc::SetWindowExtEx",
         [](Ndc& d) {
             d.SetWindowExtEx(SIZE{16, 16});
         }},
        {"Error Ndc::SetViewportExtEx",
         [](Ndc& d) {
             d.SetViewportExtEx(SIZE{16, 16});
         }},
        {"Error Ndc::SetViewportOrgEx",
         [](Ndc& d) {
             d.SetViewportOrgEx(POINT{1, 1});
         }},
        {"Error Ndc::OffsetViewportOrgEx",
         [](Ndc& d) {
             d.OffsetViewportOrgEx(POINT{1, 1});
         }},
    };
    for (const FailureCase& c : cases)
        ExpectThrows(*dc, c);
}

TEST_F(InvalidDcTest, TextColourAndDrawTextPassTheFailureBack) {
    EXPECT_EQ(dc->SetTextColor(RGB(1, 1, 1)), CLR_INVALID);
    RECT r{0, 0, 10, 10};
    EXPECT_EQ(dc->DrawTextEx("abc", 3, &r, 0, nullptr), 0);
}

TEST_F(InvalidDcTest, FillRectThrowsWhenTheSystemReportsFailure) {
    NSolidBrush brush(RGB(1, 1, 1));
    RECT r{0, 0, 10, 10};
    if (::FillRect(nullptr, &r, static_cast<HBRUSH>(brush.GetHandle())) != 0)
        GTEST_SKIP() << "this system's FillRect reports success even without a DC (Wine answers "
                        "1 for every call), so its failure cannot be produced here";
    ExpectThrows(*dc, {"Error Ndc::FillRect", [&brush](Ndc& d) {
                           RECT rect{0, 0, 10, 10};
                           d.FillRect(&rect, brush);
                       }});
}

// Raised and sunken inner edges at once cannot be drawn; the system refuses that on any DC.
TEST_F(DcTest, DrawEdgeThrowsWhenTheEdgeCannotBeDrawn) {
    NWindowDc dc(nullptr);
    RECT probe{0, 0, 10, 10};
    const UINT impossible = BDR_RAISEDINNER | BDR_SUNKENINNER;
    if (::DrawEdge(dc.GetHandle(), &probe, impossible, BF_RECT) != 0)
        GTEST_SKIP() << "this system draws the impossible edge without reporting failure";
    RECT rect{0, 0, 10, 10};
    try {
        dc.DrawEdge(&rect, impossible, BF_RECT);
        ADD_FAILURE() << "nothing thrown";
    } catch (const KivWinBaseException& e) {
        EXPECT_STREQ(e.what(), "Error Ndc::DrawEdge");
    }
}

TEST_F(DcTest, SetBkModeWithAValidModeReturnsThePreviousOneWithABadModeThrows) {
    NWindowDc dc(nullptr);
    EXPECT_EQ(dc.SetBkMode(TRANSPARENT), OPAQUE);
    try {
        dc.SetBkMode(99);
        ADD_FAILURE() << "nothing thrown";
    } catch (const KivWinBaseException& e) {
        EXPECT_STREQ(e.what(), "Error Ndc::SetBkMode");
    }
    EXPECT_EQ(GetBkMode(dc.GetHandle()), TRANSPARENT);
}

// ---------------------------------------------------------------------------------------------
// WM_PAINT through the dispatcher

class PaintingWnd : public NWnd {
public:
    using NWnd::NWnd;
    std::function<void(NPaintDc&)> paint;
    int paints = 0;
    void OnPaint(NPaintDc& dc) override {
        ++paints;
        if (paint)
            paint(dc);
    }
    void OnTimer(WPARAM, LPARAM) override { PostQuitMessage(0); }
};

// One visible window serves every paint test: without a window manager each visible window
// costs seconds to take down.
class PaintTest : public ::testing::Test {
protected:
    static NApp* app;
    static PaintingWnd* shared;
    PaintingWnd& window = *shared;

    static void SetUpTestSuite() {
        app = new NApp(GetModuleHandleA(nullptr));
        shared = new PaintingWnd(app);
        shared->SetStyle(WS_POPUP | WS_VISIBLE);
        shared->SetWindowRect(RECT{20, 20, 220, 120}, 0, nullptr);
        shared->CreateWindow();
    }
    static void TearDownTestSuite() {
        delete shared;
        delete app;
    }
    void SetUp() override {
        window.paint = nullptr;
        window.UpdateWindow(); // whatever paint is still due, before the test's own
        window.paints = 0;
    }
    void TearDown() override {
        window.paint = nullptr;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        EXPECT_FALSE(app->HasPendingException());
    }
    bool NeedsPaint() { return GetUpdateRect(window.GetHandle(), nullptr, FALSE) != FALSE; }
};

NApp* PaintTest::app = nullptr;
PaintingWnd* PaintTest::shared = nullptr;

TEST_F(PaintTest, OnPaintGetsAPaintDcForTheInvalidRectangle) {
    HGDIOBJ brushHandle = nullptr;
    HDC seen = nullptr;
    RECT paintRect{};
    bool erase = false;
    window.paint = [&](NPaintDc& dc) {
        seen = dc.GetHandle();
        paintRect = dc.GetPaintRect();
        erase = dc.MustErase();
        NSolidBrush brush(RGB(30, 60, 90));
        brushHandle = brush.GetHandle();
        dc.SelectObject(brush);
        EXPECT_NE(dc.FillRect(&paintRect, brush), 0);
        EXPECT_EQ(GetCurrentObject(dc.GetHandle(), OBJ_BRUSH), brushHandle);
    };
    const RECT dirty{10, 15, 60, 45};
    window.InvalidateRect(&dirty, true);
    ASSERT_TRUE(NeedsPaint());
    window.UpdateWindow();

    EXPECT_EQ(window.paints, 1);
    EXPECT_NE(seen, nullptr);
    EXPECT_EQ(paintRect.left, 10);
    EXPECT_EQ(paintRect.top, 15);
    EXPECT_EQ(paintRect.right, 60);
    EXPECT_EQ(paintRect.bottom, 45);
    EXPECT_TRUE(erase); // the class has no background brush, so nothing erased it
    EXPECT_FALSE(NeedsPaint());
    EXPECT_FALSE(Alive(brushHandle));
}

TEST_F(PaintTest, AThrowingOnPaintStillEndsThePaintAndTheExceptionIsRethrownLater) {
    HGDIOBJ brushHandle = nullptr;
    window.paint = [&](NPaintDc& dc) {
        NSolidBrush brush(RGB(1, 2, 3));
        brushHandle = brush.GetHandle();
        dc.SelectObject(brush);
        throw KivWinBaseException("Error Test::OnPaint");
    };
    window.InvalidateRect(nullptr, true);
    window.UpdateWindow(); // the exception stays inside the window procedure

    EXPECT_EQ(window.paints, 1);
    EXPECT_FALSE(NeedsPaint());
    EXPECT_FALSE(Alive(brushHandle)); // the paint DC was destroyed on the way out
    ASSERT_TRUE(app->HasPendingException());
    try {
        app->RethrowPendingException();
        ADD_FAILURE() << "nothing rethrown";
    } catch (const KivWinBaseException& e) {
        EXPECT_STREQ(e.what(), "Error Test::OnPaint");
    }
}

TEST_F(PaintTest, TheMessageLoopRethrowsAnExceptionFromOnPaint) {
    window.paint = [](NPaintDc&) { throw KivWinBaseException("Error Test::Loop"); };
    window.InvalidateRect(nullptr, false);
    // Timer messages come after paint messages; this one only ends a loop that failed to throw.
    window.SetTimer(1, 3000, nullptr);
    try {
        app->Run();
        ADD_FAILURE() << "the loop ended without the exception";
    } catch (const KivWinBaseException& e) {
        EXPECT_STREQ(e.what(), "Error Test::Loop");
    }
    window.KillTimer(1);
    EXPECT_EQ(window.paints, 1);
    EXPECT_FALSE(NeedsPaint());
}

} // namespace
