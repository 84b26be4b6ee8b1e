#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "CodeTrans.h"

TEST(CodePage, IsShiftJis) {
    // Every narrow text of the programs is code page 932; a wrong Wine locale must fail here.
    ASSERT_EQ(GetACP(), 932u);
    const char literal[] = "表";
    ASSERT_EQ(sizeof(literal), 3u);
    EXPECT_EQ(static_cast<unsigned char>(literal[0]), 0x95);
    EXPECT_EQ(static_cast<unsigned char>(literal[1]), 0x5C);
}

struct ConversionCase {
    const char* narrow;
    const wchar_t* wide;
};

class RoundTrip : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(RoundTrip, BothDirectionsKeepEveryCharacter) {
    const ConversionCase c = GetParam();
    MultiByteToWideCharWrapper wide(c.narrow);
    EXPECT_STREQ(wide.Get(), c.wide);
    WideCharToMultiByteWrapper narrow(c.wide);
    EXPECT_STREQ(narrow.Get(), c.narrow);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RoundTrip,
    ::testing::Values(ConversionCase{"", L""},
                      ConversionCase{"C:\\Tools\\a.txt", L"C:\\Tools\\a.txt"},
                      // trail bytes 0x5C: ソ 表 能, and a path made of them
                      ConversionCase{"ソ表能", L"\u30bd\u8868\u80fd"},
                      ConversionCase{"D:\\予定表\\ソフト",
                                     L"D:\\\u4e88\u5b9a\u8868\\\u30bd\u30d5\u30c8"},
                      ConversionCase{"ｶﾀｶﾅ半角", L"\uff76\uff80\uff76\uff85\u534a\u89d2"}));

TEST(MultiByteToWideCharWrapper, EmptyTextIsOnlyTheTerminator) {
    MultiByteToWideCharWrapper wide("");
    ASSERT_NE(wide.Get(), nullptr);
    EXPECT_EQ(wide.Get()[0], L'\0');
}

TEST(MultiByteToWideCharWrapper, InvalidBytesBecomeReplacementCharacters) {
    // A lead byte followed by the terminator, and one followed by a byte that is no trail byte.
    const char* const texts[] = {"a\x81", "a\x81\x20z"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        std::wstring converted;
        EXPECT_NO_THROW(converted = MultiByteToWideCharWrapper(text).Get());
        ASSERT_GE(converted.size(), 2u);
        EXPECT_EQ(converted[0], L'a');
        EXPECT_NE(converted[1], L'\0');
    }
}

TEST(MultiByteToWideCharWrapper, NullTextThrowsTheSizeMessage) {
    EXPECT_THROW(MultiByteToWideCharWrapper(nullptr), CodeTransWrapperException);
}

TEST(WideCharToMultiByteWrapper, UnmappableCharacterBecomesTheDefaultCharacter) {
    WideCharToMultiByteWrapper narrow(L"a\u00e9b"); // é has no code page 932 form
    EXPECT_EQ(std::strlen(narrow.Get()), 3u);
    EXPECT_EQ(narrow.Get()[0], 'a');
    EXPECT_EQ(narrow.Get()[2], 'b');
}

TEST(WideCharToMultiByteWrapper, NullTextThrowsTheSizeMessage) {
    try {
        WideCharToMultiByteWrapper narrow(nullptr);
        FAIL();
    } catch (const CodeTransWrapperException& e) {
        EXPECT_STREQ(e.what(), "WideCharToMultiByteWrapper():1");
    }
}
