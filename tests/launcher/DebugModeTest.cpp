#include <gtest/gtest.h>

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

TEST(DebugMode, ClosedLogWritesNothing) {
    TempDir dir;
    DebugMode log;
    EXPECT_FALSE(log.IsOpen());
    log.Printf("nothing %d", 1);
    EXPECT_FALSE(kivtest::Exists(dir / "DebugLog.txt"));
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
