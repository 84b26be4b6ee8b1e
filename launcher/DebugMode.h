// DebugMode: the trace log "DebugLog.txt" written when Kiv starts with /DebugMode.
#pragma once
#include <windows.h>

class DebugMode {
public:
    DebugMode() : logFile(INVALID_HANDLE_VALUE) {}
    DebugMode(const DebugMode&) = delete;
    DebugMode& operator=(const DebugMode&) = delete;
    ~DebugMode();

    // Creates (or truncates) <folder>\DebugLog.txt; when that fails logging stays off, silently.
    void Open(const char* folder);
    // One time-stamped line per call, written through at once. A message longer than the line
    // buffer is cut; the line always ends with CR LF.
    void Printf(const char* format, ...) __attribute__((format(ms_printf, 2, 3)));

    bool IsOpen() const { return logFile != INVALID_HANDLE_VALUE; }

    // Formats one line for the given time into size bytes and returns its length without the
    // terminator; exposed so the framing can be checked without a file. The line always ends
    // with CR LF and a terminator (a buffer of fewer than 3 bytes gets an empty text); what does
    // not fit is cut, the message only between characters (code page 932).
    static int FormatLine(char* line, int size, const SYSTEMTIME& time, const char* message);

private:
    HANDLE logFile;
};

extern DebugMode debugMode;

// Trace values for addresses and handles: lower-case hexadecimal of the full 64-bit value.
inline unsigned long long TraceAddress(const void* p) {
    return static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(p));
}
