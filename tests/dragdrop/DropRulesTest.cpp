#include <gtest/gtest.h>

#include "DropRules.h"
#include "KivOleDropSource.h"

namespace {

constexpr DWORD L = MK_LBUTTON, R = MK_RBUTTON, S = MK_SHIFT, C = MK_CONTROL;

struct KeysCase {
    bool onBackground;
    DWORD keys;
    bool dropOnFolder;
    DWORD expectedKeys;
};

} // namespace

TEST(DropRules, DragEnterKeys) {
    const KeysCase cases[] = {
        // The background: a plain left-button drag asks for shortcuts.
        {true, L, true, L | S | C},
        {true, L | S, true, L | S},
        {true, L | C, true, L | C},
        {true, L | S | C, true, L | S | C},
        // Other buttons are passed on, but the drop is still the folder's.
        {true, R, true, R},
        {true, R | C, true, R | C},
        {true, 0, true, 0},
        // An item: unchanged, not the folder's.
        {false, L, false, L},
        {false, L | S, false, L | S},
        {false, R, false, R},
    };
    for (const KeysCase& c : cases) {
        const DragKeys result = DragEnterKeys(c.onBackground, c.keys);
        EXPECT_EQ(result.dropOnFolder, c.dropOnFolder) << c.onBackground << " keys " << c.keys;
        EXPECT_EQ(result.keys, c.expectedKeys) << c.onBackground << " keys " << c.keys;
    }
}

TEST(DropRules, DragOverKeys) {
    const KeysCase cases[] = {
        {true, L, true, L | S | C},
        {true, L | S, true, L | S},
        {true, L | C, true, L | C},
        {true, L | S | C, true, L | S | C},
        {true, L | R, true, L | R | S | C},
        // Without the left button the folder gets the drag as it is (the shell offers its menu).
        {true, R, false, R},
        {true, R | S, false, R | S},
        {true, 0, false, 0},
        {false, L, false, L},
        {false, L | C, false, L | C},
        {false, R, false, R},
    };
    for (const KeysCase& c : cases) {
        const DragKeys result = DragOverKeys(c.onBackground, c.keys);
        EXPECT_EQ(result.dropOnFolder, c.dropOnFolder) << c.onBackground << " keys " << c.keys;
        EXPECT_EQ(result.keys, c.expectedKeys) << c.onBackground << " keys " << c.keys;
    }
}

TEST(DropRules, DecideDrop) {
    struct Case {
        bool onBackground;
        bool dropOnFolder;
        DWORD keys;
        size_t fileCount;
        bool firstInWindowFolder;
        DropAction action;
        DWORD expectedKeys;
    };
    using A = DropAction;
    const Case cases[] = {
        // A left-button drop on the background (the button is up when OLE drops).
        {true, true, 0, 1, false, A::ReserveAndPassOn, S | C},
        {true, true, 0, 3, false, A::ReserveAndPassOn, S | C},
        {true, true, C, 1, false, A::ReserveAndPassOn, C},
        {true, true, S, 2, false, A::ReserveAndPassOn, S},
        {true, true, S | C, 1, false, A::ReserveAndPassOn, S | C},
        {true, true, 0, 1, true, A::Reorder, S | C},
        {true, true, C, 4, true, A::Reorder, C},
        // No CF_HDROP (or an empty list): to the folder with the keys, nothing reserved.
        {true, true, 0, 0, false, A::PassOn, S | C},
        {true, true, C, 0, true, A::PassOn, C},
        // A right-button drag left dropOnFolder clear: passed on as it is.
        {true, false, 0, 1, false, A::PassOn, 0},
        {true, false, 0, 1, true, A::PassOn, 0},
        // On an item: the item's target, unchanged.
        {false, true, 0, 1, true, A::PassOn, 0},
        {false, false, L, 1, false, A::PassOn, L},
    };
    for (const Case& c : cases) {
        const DropDecision decision =
            DecideDrop(c.onBackground, c.dropOnFolder, c.keys, c.fileCount, c.firstInWindowFolder);
        EXPECT_EQ(decision.action, c.action)
            << c.onBackground << c.dropOnFolder << " keys " << c.keys << " files " << c.fileCount
            << " same " << c.firstInWindowFolder;
        EXPECT_EQ(decision.keys, c.expectedKeys)
            << c.onBackground << c.dropOnFolder << " keys " << c.keys;
        EXPECT_EQ(DropGoesToFolder(c.onBackground, c.dropOnFolder),
                  c.onBackground && c.dropOnFolder);
    }
}

TEST(DropRules, DropFilesKeysFromTheKeyboardState) {
    struct Case {
        SHORT shift;
        SHORT control;
        DWORD expected;
    };
    const SHORT down = static_cast<SHORT>(0x8000), toggled = 1, up = 0;
    const Case cases[] = {
        {up, up, L},
        {down, up, L | S},
        {up, down, L | C},
        {down, down, L | S | C},
        {toggled, toggled, L}, // toggled, not held
        {static_cast<SHORT>(0x8001), up, L | S},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DropFilesKeys(c.shift, c.control), c.expected) << c.shift << " " << c.control;
}

TEST(DropRules, DropFilesGoesOnOnlyAfterAnAcceptedEnter) {
    EXPECT_TRUE(DropFilesGoesOn(S_OK, DROPEFFECT_COPY));
    EXPECT_TRUE(DropFilesGoesOn(S_FALSE, DROPEFFECT_LINK));
    EXPECT_FALSE(DropFilesGoesOn(S_OK, DROPEFFECT_NONE));
    EXPECT_FALSE(DropFilesGoesOn(E_FAIL, DROPEFFECT_COPY));
}

TEST(DropRules, QueryContinueDrag) {
    struct Case {
        bool escape;
        bool leftButton;
        DWORD keys;
        HRESULT expected;
    };
    const HRESULT cancel = DRAGDROP_S_CANCEL, drop = DRAGDROP_S_DROP, go = S_OK;
    const Case cases[] = {
        {true, true, L, cancel},      {true, false, R, cancel}, {true, true, 0, cancel},
        {false, true, L | R, cancel}, {false, true, R, cancel}, {false, false, R | L, cancel},
        {false, false, L, cancel},    {false, true, 0, drop},   {false, true, S | C, drop},
        {false, false, 0, drop},      {false, false, C, drop},  {false, true, L, go},
        {false, true, L | S | C, go}, {false, false, R, go},    {false, false, R | S, go},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QueryContinueDragResult(c.escape, c.keys, c.leftButton), c.expected)
            << c.escape << c.leftButton << " keys " << c.keys;
        // The drop source answers OLE the same.
        IDropSource* source = new KivOleDropSource(nullptr, WM_NULL, c.leftButton);
        source->AddRef();
        EXPECT_EQ(source->QueryContinueDrag(c.escape ? TRUE : FALSE, c.keys), c.expected);
        EXPECT_EQ(source->Release(), 0u);
    }
    EXPECT_EQ(DRAGDROP_S_CANCEL, static_cast<HRESULT>(0x40101));
    EXPECT_EQ(DRAGDROP_S_DROP, static_cast<HRESULT>(0x40100));
}
