#include "DebugMode.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

DebugMode debugMode;

namespace {
const int bufferSize = 1000;
}

DebugMode::~DebugMode() {
    if (logFile != INVALID_HANDLE_VALUE)
        CloseHandle(logFile);
}

void DebugMode::Open(const char* folder) {
    char name[MAX_PATH];
    std::snprintf(name, sizeof(name), "%s\\DebugLog.txt", folder);
    if (logFile != INVALID_HANDLE_VALUE)
        CloseHandle(logFile);
    logFile = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                          FILE_FLAG_WRITE_THROUGH | FILE_ATTRIBUTE_NORMAL, nullptr);
}

int DebugMode::FormatLine(char* line, int size, const SYSTEMTIME& time, const char* message) {
    // CR LF and the terminator always fit; a buffer too small even for them gets an empty text.
    const int ending = 3;
    if (size < ending) {
        if (size > 0)
            line[0] = '\0';
        return 0;
    }
    char framing[32];
    const int framingLength =
        std::snprintf(framing, sizeof(framing), "[%02d:%02d:%02d.%03d] ", time.wHour, time.wMinute,
                      time.wSecond, time.wMilliseconds);
    const int kept = std::min(std::max(framingLength, 0), size - ending);
    std::memcpy(line, framing, kept);
    // The message is cut at a character boundary: a double-byte character is kept whole or not
    // at all.
    const int room = size - ending - kept;
    int length = 0;
    while (message[length] != '\0') {
        const bool pair = IsDBCSLeadByteEx(932, static_cast<BYTE>(message[length])) &&
                          message[length + 1] != '\0';
        const int step = pair ? 2 : 1;
        if (length + step > room)
            break;
        length += step;
    }
    std::memcpy(line + kept, message, length);
    std::memcpy(line + kept + length, "\r\n", ending);
    return kept + length + 2;
}

void DebugMode::Printf(const char* format, ...) {
    if (logFile == INVALID_HANDLE_VALUE)
        return;
    char message[bufferSize];
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(message, sizeof(message), format, args);
    va_end(args);
    if (written < 0)
        message[0] = '\0';
    SYSTEMTIME now;
    GetLocalTime(&now);
    char line[bufferSize];
    const int length = FormatLine(line, sizeof(line), now, message);
    DWORD done = 0;
    WriteFile(logFile, line, static_cast<DWORD>(length), &done, nullptr);
}
