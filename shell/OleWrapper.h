// OleWrapper: the holder of one COM interface pointer used throughout the shell layer. Copies
// share the object by reference count; a pointer handed in (or received as a call's out-parameter)
// brings the reference the call returned with it.
#pragma once
#include <windows.h>
#include <unknwn.h>

template <class T> class OleWrapper {
public:
    OleWrapper() : ptr(nullptr) {}
    // Takes over the caller's reference; no AddRef.
    explicit OleWrapper(T* raw) : ptr(raw) {}
    OleWrapper(const OleWrapper& other) : ptr(other.ptr) {
        if (ptr)
            ptr->AddRef();
    }
    OleWrapper(OleWrapper&& other) noexcept : ptr(other.ptr) { other.ptr = nullptr; }
    ~OleWrapper() { Release(); }

    OleWrapper& operator=(const OleWrapper& other) {
        // The new reference is taken before the old one goes, so that assigning a holder to
        // itself (or to another holder of the same object) never lets the count touch zero.
        T* old = ptr;
        ptr = other.ptr;
        if (ptr)
            ptr->AddRef();
        if (old)
            old->Release();
        return *this;
    }
    OleWrapper& operator=(OleWrapper&& other) noexcept {
        if (this != &other) {
            Release();
            ptr = other.ptr;
            other.ptr = nullptr;
        }
        return *this;
    }

    void Release() {
        if (ptr) {
            T* old = ptr;
            ptr = nullptr;
            old->Release();
        }
    }
    // Replaces the held pointer with a raw one whose reference is handed over.
    void Reset(T* raw = nullptr) {
        Release();
        ptr = raw;
    }
    // Gives up the reference without releasing it, for a callee that takes it over.
    T* Detach() {
        T* raw = ptr;
        ptr = nullptr;
        return raw;
    }

    T* Get() const { return ptr; }
    T* operator->() const { return ptr; }
    explicit operator bool() const { return ptr != nullptr; }

    // Out-parameter of a COM call: the old pointer is released first, the new one is owned.
    T** Put() {
        Release();
        return &ptr;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

private:
    T* ptr;
};
