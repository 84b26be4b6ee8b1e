// ShowHide: the pure decisions of one poll. The show/hide state machine of a top window, the
// scrolling of a window that reaches beyond the screen, the opening and hiding of sub-folder
// windows by hovering, and what a click on a top window's background does. The windows read the
// cursor, the clock and their settings, ask these functions, and carry out the answer.
// Times are GetTickCount milliseconds compared as unsigned differences, so the wrap of the tick
// count after 49.7 days does no harm.
#pragma once
#include <windows.h>

namespace KivShowHide {

// The states of a top window (its PopState).
enum PopState : unsigned char {
    PopHidden = 0,       // nothing on screen
    PopDocked = 1,       // the strip at the screen edge
    PopDockedLocked = 2, // the strip; it does not open until the cursor has left the strip
    PopShown = 3,        // the whole window
};

// A move of this many pixels in x or in y restarts the timing; also the width of the scroll
// zone at each screen edge and the scroll step.
constexpr int RestTolerance = 16;
constexpr int ScrollZone = 16;
constexpr int ScrollStep = 16;

// The point that means "no timing runs".
constexpr POINT NoAnchor{-1, -1};

// Rectangle tests include their edges.
bool PointInRectInclusive(const RECT& r, POINT p);

// Whether at least `milliseconds` have passed from tick `since` to tick `now` (unsigned
// difference, so across the wrap of the tick count). A negative time counts as 0.
bool TimeReached(DWORD since, DWORD now, int milliseconds);

// What one poll of a top window sees.
struct TopPollInput {
    unsigned char popState = PopDocked;
    POINT anchorPoint = NoAnchor; // client coordinates; NoAnchor when no timing runs
    DWORD anchorTick = 0;
    DWORD now = 0;             // GetTickCount of this poll
    POINT cursorClient{};      // the cursor in the window's client coordinates (p)
    POINT cursorScreen{};      // the same point in screen coordinates (q)
    RECT hiddenRect{};         // the docked strip, the zone in which resting opens the window
    RECT windowRect{};         // the window's rectangle now (after any scrolling of this poll)
    bool moving = false;       // the window is being dragged to another edge
    bool clickWinOpen = false; // ClickWinOpen: the strip opens by a click, not by resting
    bool fullScreen = false;   // IsForegroundFullScreen (only read in Hidden and Docked)
    bool trueHide = false;     // TrueHide; an invisible strip cannot be clicked, so a TrueHide
                               // window opens by resting whatever ClickWinOpen says
    bool clickWinClose = false;
    int showTime = 0; // ShowTime
    int hideTime = 0; // HideTime
};

enum class TopPollAction {
    None,
    Show, // Show(animate true): the state becomes Shown
    Hide, // Hide(animate true, locked false): Docked, or Hidden with TrueHide or full screen
};

struct TopPollDecision {
    TopPollAction action = TopPollAction::None;
    unsigned char popState = PopDocked; // the state after the action
    POINT anchorPoint = NoAnchor;
    DWORD anchorTick = 0;
    bool result = false; // what OnMouseOver returns: the state is Shown
};

// One poll of a top window, OnMouseOver of KivTopWindow without the hover processing: in state
// Shown the window runs the KivWindow hover first (it may scroll the window; pass the rectangle
// after it) and then asks this. While moving nothing changes and the result is true.
TopPollDecision DecideTopPoll(const TopPollInput& in);

// The state Hide leaves: Hidden with TrueHide or a full-screen window in front, else
// DockedLocked when locked, else Docked.
unsigned char StateAfterHide(bool trueHide, bool fullScreen, bool locked);

// Whether a top window opens by a click rather than by resting: ClickWinOpen without TrueHide.
bool TopWindowClickOpen(bool clickWinOpen, bool trueHide);

// A click on the background of a top window (after the KivWindow click handling).
enum class BackgroundClickAction {
    None,
    Show,       // Show(animate true)
    HideLocked, // Hide(animate true, locked true)
};
BackgroundClickAction DecideBackgroundClick(unsigned char popState, bool clickWinOpen,
                                            bool trueHide, bool clickWinClose);

// Scrolling of a window that reaches beyond the screen, for the cursor at q (screen): whether the
// window moves and its rectangle after the move. Vertical arrangements (1, 4) scroll along y,
// horizontal ones (0, 3) along x, others never; a window that fits on the screen never scrolls.
// The window stops with its border (WindowBorder) just off the screen. The steps are 16 pixels
// (the last one shorter). When it moved, the window takes the new rectangle (SetWindowRect with
// SWP_NOOWNERZORDER), hides its sub-folder window, restarts hoverTick and OnMouseOver returns
// true. Ask only when the cursor is inside the window rectangle (OnMouseOver returns false first
// otherwise).
struct EdgeScroll {
    bool moved = false;
    RECT windowRect{};
};
EdgeScroll EdgeScrollStep(int arrange, POINT cursorScreen, RECT windowRect, SIZE screen,
                          int windowBorder);

// Hovering over a window's items: steps 4 to 7 of KivWindow::OnMouseOver, after the hover index
// has been updated and the window has not scrolled.
struct HoverInput {
    int hoverIndex = -1;           // the item under the cursor, -1 over the background
    int noHoverOpenIndex = -1;     // the item whose sub-folder window a click closed
    bool hoveredIsFolder = false;  // the hovered item is of a folder type (3, 4, 6)
    bool notShowSubFolder = false; // this window's NotShowSubFolder
    // The hovered folder's own record (read only when hoveredIsFolder):
    bool subNotShowWin = false;
    bool subClickOpen = false; // its IsClickWinOpen
    int subShowTime = 0;
    // The open sub-folder window:
    bool subWindowExists = false;
    int subWindowIndex = -1;
    bool subLoadInterrupted = false;
    bool subOpenedByClick = false;
    DWORD hoverTick = 0; // GetTickCount at the last change of hoverIndex
    DWORD now = 0;
};

enum class SubFolderAction {
    None,
    Create, // CreateSubFolderWindow(hoverIndex, true)
    Show,   // ShowSubFolderWindow
    Hide,   // HideSubFolderWindow, then hoverTick = now
};

struct HoverDecision {
    SubFolderAction action = SubFolderAction::None;
    int noHoverOpenIndex = -1;     // the new value of the field
    bool restartHoverTick = false; // set hoverTick = now
};

// The sub-folder window decision of one poll over the items. OnMouseOver then returns true.
// A sub-folder opens once the cursor has rested on its item longer than the sub-folder's own
// ShowTime (strictly longer).
HoverDecision DecideHover(const HoverInput& in);

} // namespace KivShowHide
