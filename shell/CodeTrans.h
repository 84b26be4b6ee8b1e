// MultiByteToWideCharWrapper, WideCharToMultiByteWrapper: scoped conversions between the ANSI
// code page (932) and UTF-16; both keep the terminator. Invalid or unmappable characters become
// replacement characters; only a null text or a failing system call throws.
#pragma once
#include <windows.h>
#include <stdexcept>
#include <string>

class CodeTransWrapperException : public std::runtime_error {
public:
    explicit CodeTransWrapperException(const std::string& message) : std::runtime_error(message) {}
};

class MultiByteToWideCharWrapper {
public:
    explicit MultiByteToWideCharWrapper(const char* text);
    MultiByteToWideCharWrapper(const MultiByteToWideCharWrapper&) = delete;
    MultiByteToWideCharWrapper& operator=(const MultiByteToWideCharWrapper&) = delete;
    ~MultiByteToWideCharWrapper() { delete[] wide; }

    const wchar_t* Get() const { return wide; }
    operator const wchar_t*() const { return wide; }

private:
    wchar_t* wide;
};

class WideCharToMultiByteWrapper {
public:
    explicit WideCharToMultiByteWrapper(const wchar_t* text);
    WideCharToMultiByteWrapper(const WideCharToMultiByteWrapper&) = delete;
    WideCharToMultiByteWrapper& operator=(const WideCharToMultiByteWrapper&) = delete;
    ~WideCharToMultiByteWrapper() { delete[] narrow; }

    const char* Get() const { return narrow; }
    operator const char*() const { return narrow; }

private:
    char* narrow;
};
