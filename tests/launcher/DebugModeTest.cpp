#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>

#include "DebugMode.h"
#include "TestSupport.h"

using kivtest::TempDir;

TEST(DebugModeFormat, FramesTheMessageWithTheTime) {
    SYSTEMTIME t{};
    t.wHour = 9;
    t.wMinute = 5;
    t.wSecond = 7;
    t.wMilliseconds = 5;
    char line[1000];
    const int length =
        DebugMode::FormatLine(line, sizeof(line), t, "KivWindow::Layout(this:12f3a8):1");
    EXPECT_EQ(std::string(line, length), "[09:05:07.005] KivWindow::Layout(this:12f3a8):1\r\n");
}

TEST(DebugModeFormat, CutsAMessageThatWouldNotFit) {
    SYSTEMTIME t{};
    const std::string huge(5000, 'x');
    char line[1000];
    const int length = DebugMode::FormatLine(line, sizeof(line), t, huge.c_str());
    EXPECT_LT(length, 1000);
    EXPECT_EQ(line[length], '\0');
    EXPECT_EQ(std::string(line + length - 2, 2), "\r\n");
    EXPECT_EQ(std::string(line, 15), "[00:00:00.000] ");
}

TEST(DebugModeFormat, CutsBetweenDoubleByteCharactersOnly) {
    SYSTEMTIME t{};
    // 表 is 95 5C; after the 15 bytes of framing, a 26-byte buffer leaves 8 bytes of message in
    // one case and 7 in the next: the cut falls between characters either way.
    std::string message;
    for (int i = 0; i < 50; ++i)
        message += "表";
    for (const int size : {26, 27, 28, 1000}) {
        SCOPED_TRACE(size);
        char line[1000];
        const int length = DebugMode::FormatLine(line, size, t, message.c_str());
        const std::string text(line, length);
        ASSERT_EQ(text.substr(0, 15), "[00:00:00.000] ");
        ASSERT_EQ(text.substr(text.size() - 2), "\r\n");
        const std::string kept = text.substr(15, text.size() - 17);
        EXPECT_EQ(kept.size() % 2, 0u) << "a character was split";
        EXPECT_EQ(kept, message.substr(0, kept.size()));
        EXPECT_LE(length, size - 1);
        EXPECT_GE(static_cast<int>(kept.size()), std::min(size - 19, 100));
    }
}

TEST(DebugModeFormat, EveryBufferSizeGivesALineThatFits) {
    SYSTEMTIME t{};
    t.wHour = 23;
    for (int size = 0; size <= 24; ++size) {
        SCOPED_TRACE(size);
        std::string buffer(64, '#');
        const int length = DebugMode::FormatLine(buffer.data(), size, t, "ab表");
        EXPECT_GE(length, 0);
        if (size == 0) {
            EXPECT_EQ(length, 0);
            EXPECT_EQ(buffer[0], '#') << "a zero-size buffer was written";
            continue;
        }
        EXPECT_LE(length, size - 1);
        EXPECT_EQ(buffer[length], '\0');
        EXPECT_EQ(buffer.find_first_not_of('#', size), std::string::npos)
            << "written past the buffer";
        if (size >= 3)
            EXPECT_EQ(buffer.substr(length - 2, 2), "\r\n");
    }
}

// Without an Open, Printf creates no file in the working directory and writes nowhere.
TEST(DebugMode, ClosedLogWritesNothing) {
    TempDir dir;
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof(previous), previous);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.Path().c_str()));
    {
        DebugMode log;
        EXPECT_FALSE(log.IsOpen());
        log.Printf("nothing %d", 1);
    }
    SetCurrentDirectoryA(previous);
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((dir / "*").c_str(), &found);
    int entries = 0;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..")
                ++entries;
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    EXPECT_EQ(entries, 0);
}

TEST(DebugMode, TruncatesAndWritesTimeStampedLines) {
    TempDir dir;
    kivtest::WriteTextFile(dir / "DebugLog.txt", "old content that must go\r\n");
    {
        DebugMode log;
        log.Open(dir.Path().c_str());
        ASSERT_TRUE(log.IsOpen());
        log.Printf("KivItem::KivItem(this:%llx/%x):1", 0x12f3a8ull, 0);
        log.Printf("名前:%s", "表示");
        // Readable while it is being written.
        const std::string content = kivtest::ReadTextFile(dir / "DebugLog.txt");
        const std::regex line(
            R"(\[\d\d:\d\d:\d\d\.\d\d\d\] KivItem::KivItem\(this:12f3a8/0\):1\r\n)"
            R"(\[\d\d:\d\d:\d\d\.\d\d\d\] (.*)\r\n)");
        std::smatch m;
        ASSERT_TRUE(std::regex_match(content, m, line)) << content;
        EXPECT_EQ(m[1].str(), "名前:表示");
        const std::string long_message(3000, 'y');
        log.Printf("%s", long_message.c_str());
    }
    const std::string content = kivtest::ReadTextFile(dir / "DebugLog.txt");
    const size_t last = content.rfind("] y");
    ASSERT_NE(last, std::string::npos);
    EXPECT_EQ(content.substr(content.size() - 2), "\r\n");
    EXPECT_LT(content.size() - last, 1000u);
}

TEST(DebugMode, FileHeldByAnotherLogLeavesLoggingOff) {
    TempDir dir;
    DebugMode first, second;
    first.Open(dir.Path().c_str());
    ASSERT_TRUE(first.IsOpen());
    second.Open(dir.Path().c_str());
    EXPECT_FALSE(second.IsOpen());
    second.Printf("lost");
    first.Printf("kept");
    EXPECT_EQ(kivtest::ReadTextFile(dir / "DebugLog.txt").find("lost"), std::string::npos);
}

TEST(DebugMode, UncreatableFileLeavesLoggingOff) {
    TempDir dir;
    DebugMode log;
    log.Open((dir / "missing\\folder").c_str());
    EXPECT_FALSE(log.IsOpen());
    EXPECT_NO_FATAL_FAILURE(log.Printf("x"));
}
