#include "DebugMode.h"

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
    const int framing = std::snprintf(line, size, "[%02d:%02d:%02d.%03d] ", time.wHour,
                                      time.wMinute, time.wSecond, time.wMilliseconds);
    // Cut the message so that CR LF and the terminator always fit.
    const int room = size - framing - 3;
    int length = static_cast<int>(std::strlen(message));
    if (length > room)
        length = room;
    std::memcpy(line + framing, message, length);
    std::memcpy(line + framing + length, "\r\n", 3);
    return framing + length + 2;
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
