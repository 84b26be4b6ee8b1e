// KivTopWindow: the icon window of one TopWindow folder, docked at an edge of the primary screen:
// its shown and docked rectangles, the full-screen test, Show and Hide with their states, the
// show/hide timing of each poll (ShowHide.h decides), clicks on its background, and the move to
// another screen edge by dragging its background.
#pragma once
#include "NWin32.h"

#include "KivWindow.h"

class KivTopWindow : public KivWindow {
public:
    enum : unsigned char { Hidden = 0, Docked = 1, DockedLocked = 2, Shown = 3 };

    KivTopWindow(NWnd* frame, const char* dataDirectory, const KivItem& folder);

    void OnCreate() override;
    void OnMouseMove(WPARAM keys, int x, int y) override;
    void OnLButtonUp(WPARAM keys, int x, int y) override;
    void OnItemDragStart(WPARAM keys, POINT point, int index) override;
    void OnItemClick(WPARAM keys, POINT point, int index) override;
    bool OnMouseOver(POINT point) override;

    void CalcEdgeRects();
    bool IsForegroundFullScreen() const;
    void Show(bool animate);
    void Hide(bool animate, bool locked);

    unsigned char GetPopState() const { return PopState; }
    const RECT& GetShownRect() const { return ShownRect; }
    const RECT& GetHiddenRect() const { return HiddenRect; }
    bool IsMoving() const { return moving; }

protected:
    // Milliseconds between two frames of the slide, kept within reason.
    DWORD AnimationWait() const;
    // One step of a move: the edge and the position along it from the cursor, then the window
    // is laid out for that edge and shown there.
    void MoveStep(WPARAM keys);

    unsigned char PopState;
    RECT ShownRect;
    RECT HiddenRect;
    bool moving;
    POINT dragOffset;
    DWORD AnchorTick;
    POINT AnchorPoint;
};
