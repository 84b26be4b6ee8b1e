// The numeric edit over a real edit control: typing by WM_CHAR, pasting by EM_REPLACESEL, the
// control's own undo, and the range box, which a watcher thread reads and closes.
#include <gtest/gtest.h>

#include <climits>

#include "BoxCloser.h"
#include "NumericEdit.h"
#include "TestSupport.h"

namespace {

TEST(ReadNumericTextTest, ReadsLikeStrtolAndJudgesTheRange) {
    struct Case {
        const char* text;
        int minValue, maxValue;
        NumericVerdict verdict;
        int value;
    };
    const Case cases[] = {
        {"", INT_MIN, INT_MAX, NumericVerdict::Empty, 0},
        {"", 5, 10, NumericVerdict::Empty, 5},
        {"", -10, -5, NumericVerdict::Empty, 0}, // raised to the minimum, never lowered
        {"12", INT_MIN, INT_MAX, NumericVerdict::Accepted, 12},
        {" 7", INT_MIN, INT_MAX, NumericVerdict::Accepted, 7},
        {"007", 1, INT_MAX, NumericVerdict::Accepted, 7},
        {"+3", INT_MIN, INT_MAX, NumericVerdict::Accepted, 3},
        {"-5", 0, INT_MAX, NumericVerdict::OutOfRange, -5},
        {"0", 1, INT_MAX, NumericVerdict::OutOfRange, 0},
        {"51", INT_MIN, 50, NumericVerdict::OutOfRange, 51},
        {"9999999999", INT_MIN, INT_MAX, NumericVerdict::Accepted, INT_MAX},
        {"-999999999", INT_MIN, INT_MAX, NumericVerdict::Accepted, -999999999},
        {"9999999999", 0, 100, NumericVerdict::OutOfRange, INT_MAX},
        {"12a", INT_MIN, INT_MAX, NumericVerdict::NotNumber, 0},
        {"-", INT_MIN, INT_MAX, NumericVerdict::NotNumber, 0},
        {"+-1", INT_MIN, INT_MAX, NumericVerdict::NotNumber, 0},
        {"7 ", INT_MIN, INT_MAX, NumericVerdict::NotNumber, 0},
        {" ", INT_MIN, INT_MAX, NumericVerdict::NotNumber, 0},
        {"1234567890", INT_MIN, INT_MAX, NumericVerdict::Accepted, 1234567890},
        {"12345678901", INT_MIN, INT_MAX, NumericVerdict::TooLong, 0},
        {"-2147483648", INT_MIN, INT_MAX, NumericVerdict::TooLong, 0},
    };
    for (const Case& c : cases) {
        const NumericReading r = ReadNumericText(c.text, c.minValue, c.maxValue);
        EXPECT_EQ(r.verdict, c.verdict) << '"' << c.text << '"';
        if (r.verdict == c.verdict && c.verdict != NumericVerdict::TooLong &&
            c.verdict != NumericVerdict::NotNumber)
            EXPECT_EQ(r.value, c.value) << '"' << c.text << '"';
    }
}

TEST(ReadNumericTextTest, RangeMessage) {
    EXPECT_EQ(RangeMessage(1, 2147483647), "1～2147483647の範囲で値を入力してください");
    EXPECT_EQ(RangeMessage(-2147483647 - 1, 50), "-2147483648～50の範囲で値を入力してください");
}

class NumericEditTest : public ::testing::Test {
protected:
    forms::Application application{GetModuleHandleA(nullptr)};
    forms::Form form{application, 200, 60, "t"};
    std::unique_ptr<TNumericEdit> edit;
    int changes = 0;

    void SetUp() override {
        application.title = "KIV - プロパティ";
        form.Create({{forms::Kind::Edit, "Number", nullptr, 8, 8, 120, 20, ""},
                     {forms::Kind::Button, "Other", nullptr, 8, 32, 64, 21, "OK"}});
        edit = std::make_unique<TNumericEdit>(form.Get<forms::Edit>("Number"));
        edit->OnChange = [this] { ++changes; };
        form.ShowWindow(SW_SHOW);
        SetForegroundWindow(form.GetHandle());
        SetFocus(Handle());
    }
    HWND Handle() const { return edit->Control().Handle(); }
    std::string Text() const { return edit->Control().Text(); }
    // The text as if set from outside: nothing to undo afterwards.
    void Start(const std::string& text) {
        SetWindowTextA(Handle(), text.c_str());
        SendMessageA(Handle(), EM_SETSEL, text.size(), text.size());
        changes = 0;
    }
};

TEST_F(NumericEditTest, ANewControlHoldsZero) {
    forms::Form other(application, 100, 40, "t");
    other.Create({{forms::Kind::Edit, "E", nullptr, 0, 0, 50, 20, "x"}});
    TNumericEdit fresh(other.Get<forms::Edit>("E"));
    EXPECT_EQ(fresh.Value(), 0);
    EXPECT_EQ(fresh.MinValue(), INT_MIN);
    EXPECT_EQ(fresh.MaxValue(), INT_MAX);
    EXPECT_EQ(fresh.Control().Text(), "0");
}

struct TypingCase {
    const char* name;
    int minValue, maxValue;
    const char* start; // set from outside, caret at the end
    bool selectAll;
    const char* typed;  // one WM_CHAR per byte ('\b' deletes)
    const char* pasted; // then one EM_REPLACESEL that can be undone
    const char* text;
    int value;
    int changes;
    const char* box; // the range box's text, or empty
};

class NumericTypingTest : public NumericEditTest,
                          public ::testing::WithParamInterface<TypingCase> {};

TEST_P(NumericTypingTest, RefusedEditsAreUndone) {
    const TypingCase& c = GetParam();
    BoxCloser closer;
    edit->SetMinValue(c.minValue);
    edit->SetMaxValue(c.maxValue);
    Start(c.start);
    if (c.selectAll)
        SendMessageA(Handle(), EM_SETSEL, 0, -1);
    for (const char* p = c.typed; *p; ++p)
        SendMessageA(Handle(), WM_CHAR, static_cast<BYTE>(*p), 1);
    if (*c.pasted)
        SendMessageA(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(c.pasted));
    EXPECT_EQ(Text(), c.text);
    EXPECT_EQ(edit->Value(), c.value);
    EXPECT_EQ(changes, c.changes);
    const auto boxes = closer.Boxes();
    if (*c.box) {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].first, c.box);
        EXPECT_EQ(boxes[0].second, "KIV - プロパティ");
    } else {
        EXPECT_TRUE(boxes.empty()) << boxes[0].first;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NumericTypingTest,
    ::testing::Values(
        // below the minimum: the box, then the previous text again (which raises OnChange once)
        TypingCase{"BelowMinimum", 1, INT_MAX, "5", true, "0", "", "5", 5, 1,
                   "1～2147483647の範囲で値を入力してください"},
        // a letter undoes the run of typing: the control's one-step undo takes it all back
        TypingCase{"Letter", INT_MIN, INT_MAX, "", false, "12a", "", "", 0, 2, ""},
        TypingCase{"SignAlone", INT_MIN, INT_MAX, "", false, "-", "", "", 0, 0, ""},
        TypingCase{"NegativeBelowZero", 0, INT_MAX, "3", true, "", "-5", "3", 3, 1,
                   "0～2147483647の範囲で値を入力してください"},
        TypingCase{"LeadingBlank", INT_MIN, INT_MAX, "", false, "", " 7", " 7", 7, 1, ""},
        TypingCase{"LeadingZeros", 0, INT_MAX, "", false, "007", "", "007", 7, 3, ""},
        TypingCase{"TrailingBlank", INT_MIN, INT_MAX, "", false, "", "7 ", "", 0, 0, ""},
        TypingCase{"EmptiedText", INT_MIN, INT_MAX, "5", true, "\b", "", "", 0, 0, ""},
        TypingCase{"EmptiedTextTakesTheMinimum", 3, INT_MAX, "5", true, "\b", "", "", 3, 0, ""},
        TypingCase{"EleventhCharacter", INT_MIN, INT_MAX, "1234567890", false, "1", "",
                   "1234567890", 1234567890, 1, ""},
        TypingCase{"BeyondThirtyTwoBits", INT_MIN, INT_MAX, "", false, "", "9999999999",
                   "9999999999", INT_MAX, 1, ""},
        TypingCase{"AboveMaximum", INT_MIN, 50, "", false, "", "51", "", 0, 0,
                   "-2147483648～50の範囲で値を入力してください"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NumericEditTest, SettersKeepTheRange) {
    edit->SetValue(100);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(Text(), "100");
    edit->SetMinValue(200); // at or above the value: the value follows
    EXPECT_EQ(edit->Value(), 200);
    EXPECT_EQ(Text(), "200");
    EXPECT_EQ(changes, 2);
    edit->SetMaxValue(100); // below the minimum: ignored
    EXPECT_EQ(edit->MaxValue(), INT_MAX);
    edit->SetMinValue(0);
    edit->SetMaxValue(50); // the value 200 comes down to 50
    EXPECT_EQ(edit->Value(), 50);
    EXPECT_EQ(Text(), "50");
    EXPECT_EQ(changes, 3);
    edit->SetValue(100); // above the maximum: nothing
    EXPECT_EQ(edit->Value(), 50);
    EXPECT_EQ(changes, 3);
    edit->SetMinValue(60); // above the maximum: ignored
    EXPECT_EQ(edit->MinValue(), 0);
    edit->SetMinValue(50); // the current value: set again, OnChange again
    EXPECT_EQ(edit->Value(), 50);
    EXPECT_EQ(changes, 4);
}

TEST_F(NumericEditTest, ARefusedTextWithNothingToUndoShowsTheLastNumber) {
    edit->SetValue(42);
    changes = 0;
    // Text from outside leaves nothing to undo; the control must not undo forever.
    SetWindowTextA(Handle(), "abc");
    EXPECT_EQ(Text(), "42");
    EXPECT_EQ(edit->Value(), 42);
}

} // namespace
