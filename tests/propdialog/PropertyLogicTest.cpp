// The dialog's decisions over plain values.
#include <gtest/gtest.h>

#include "PropertyLogic.h"

namespace {

TEST(PropCommandLineTest, OnlyTheExactSwitchWithExactlyFourArguments) {
    struct Case {
        std::vector<std::string> arguments;
        bool valid;
    };
    const Case cases[] = {
        {{"/QpuvaoTgduauaz5579", "C:\\d\\IconData", "Default", "デフォルト"}, true},
        {{"/QpuvaoTgduauaz5579", "C:\\d\\IconData", "Default"}, false},
        {{"/qpuvaotgduauaz5579", "C:\\d\\IconData", "Default", "デフォルト"}, false},
        {{"/QpuvaoTgduauaz5579", "a", "b", "c", "d"}, false},
        {{"QpuvaoTgduauaz5579", "a", "b", "c"}, false},
        {{}, false},
    };
    for (const Case& c : cases) {
        const PropCommandLine line = ParsePropCommandLine(c.arguments);
        EXPECT_EQ(line.valid, c.valid) << c.arguments.size();
        if (line.valid) {
            EXPECT_EQ(line.dataDirectory, c.arguments[1]);
            EXPECT_EQ(line.folderKey, c.arguments[2]);
            EXPECT_EQ(line.captionName, c.arguments[3]);
        }
    }
}

TEST(PropMappingTest, TextPlaceAndRadioGroupItems) {
    const int places[] = {0, 1, 2, 3, 4, -1, 127};
    const int items[] = {2, 1, 0, 3, -1, -1, -1};
    for (size_t i = 0; i < std::size(places); ++i) {
        EXPECT_EQ(TextPlaceItem(places[i]), items[i]) << places[i];
        if (items[i] >= 0)
            EXPECT_EQ(ItemTextPlace(items[i]), places[i]);
    }
    EXPECT_EQ(ItemTextPlace(-1), -1); // no item chosen keeps the loaded value
}

TEST(PropMappingTest, ArrangementAndLayoutButtons) {
    const int arranges[] = {4, 1, 3, 0, 2, 5, -1, 100};
    const int buttons[] = {LayoutV1,         LayoutV2,         LayoutH1,         LayoutH2,
                           LayoutByPosition, LayoutByPosition, LayoutByPosition, LayoutByPosition};
    for (size_t i = 0; i < std::size(arranges); ++i)
        EXPECT_EQ(LayoutButtonOf(arranges[i]), buttons[i]) << arranges[i];
    const int stored[] = {4, 1, 3, 0, 2};
    for (int b = 0; b <= LayoutByPosition; ++b)
        EXPECT_EQ(ItemArrangeOf(b), stored[b]);
}

TEST(PropMappingTest, HelpContextPerPage) {
    const unsigned long contexts[] = {6, 2, 37, 5, 38};
    for (int page = 0; page < 5; ++page)
        EXPECT_EQ(PageHelpContext(page), contexts[page]);
}

struct EnablingCase {
    EnablingInput input;
    Enabling expected;
};

class EnablingTest : public ::testing::TestWithParam<EnablingCase> {};

TEST_P(EnablingTest, FollowsTextPlaceClickOpenAndKind) {
    EXPECT_TRUE(ComputeEnabling(GetParam().input) == GetParam().expected);
}

// Fields: iconSize, textSizeH, textSizeWMin, textSizeWMax, fontSize, unlimited, fontDefault;
//         windowShow, windowHide, notMaxLock, animate, trueHide, show.
INSTANTIATE_TEST_SUITE_P(
    Cases, EnablingTest,
    ::testing::Values(
        // text below the icon, top folder, nothing checked
        EnablingCase{
            {0, false, false, false, false, 0},
            {true, true, true, true, true, true, true, true, true, true, true, true, false}},
        // text right of the icon, "無制限" and "デフォルト" checked: their edits off
        EnablingCase{
            {1, true, true, false, false, 0},
            {true, true, true, false, false, true, true, true, true, true, true, true, false}},
        // icon only: every text control off, icon size on
        EnablingCase{
            {2, false, false, false, false, 0},
            {true, false, false, false, false, false, false, true, true, true, true, true, false}},
        // text only: icon size off
        EnablingCase{
            {3, false, false, false, false, 0},
            {false, true, true, true, true, true, true, true, true, true, true, true, false}},
        // no item chosen: as text only
        EnablingCase{
            {-1, false, true, false, false, 0},
            {false, true, true, true, false, true, true, true, true, true, true, true, false}},
        // click to open and to close on a top folder: both delays off
        EnablingCase{
            {0, false, false, true, true, 0},
            {true, true, true, true, true, true, true, false, false, true, true, true, false}},
        // another folder: the edge controls off, show on, whatever click-close says
        EnablingCase{
            {0, false, false, false, false, 1},
            {true, true, true, true, true, true, true, true, false, false, false, false, true}},
        EnablingCase{
            {0, false, false, true, true, 1},
            {true, true, true, true, true, true, true, false, false, false, false, false, true}},
        // the default record: every kind-dependent control on
        EnablingCase{
            {0, false, false, false, false, 2},
            {true, true, true, true, true, true, true, true, true, true, true, true, true}},
        EnablingCase{
            {0, false, false, false, true, 2},
            {true, true, true, true, true, true, true, true, false, true, true, true, true}}));

} // namespace
