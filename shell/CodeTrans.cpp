#include "CodeTrans.h"

#include <memory>

MultiByteToWideCharWrapper::MultiByteToWideCharWrapper(const char* text) : wide(nullptr) {
    // Without flags: an invalid byte becomes a replacement character, so a path that holds one
    // converts, and then fails where it is used as a path.
    const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n == 0)
        throw CodeTransWrapperException("MultiByteToWideCharWrapper():1");
    std::unique_ptr<wchar_t[]> buffer(new wchar_t[n]);
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, buffer.get(), n) == 0)
        throw CodeTransWrapperException("MultiByteToWideCharWrapper():2");
    wide = buffer.release();
}

WideCharToMultiByteWrapper::WideCharToMultiByteWrapper(const wchar_t* text) : narrow(nullptr) {
    const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n == 0)
        throw CodeTransWrapperException("WideCharToMultiByteWrapper():1");
    std::unique_ptr<char[]> buffer(new char[n]);
    if (WideCharToMultiByte(CP_ACP, 0, text, -1, buffer.get(), n, nullptr, nullptr) == 0)
        throw CodeTransWrapperException("WideCharToMultiByteWrapper():2");
    narrow = buffer.release();
}
