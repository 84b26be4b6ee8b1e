#include "ShellTestSupport.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include <shlobj.h>
#include <shobjidl.h>
#include <stdexcept>

#include "CodeTrans.h"

namespace {

const ::testing::Environment* const oleEnvironment =
    ::testing::AddGlobalTestEnvironment(new kivtest::OleEnvironment);

class CountingSpy : public IMallocSpy {
public:
    volatile LONG live = 0;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IMallocSpy) {
            *out = static_cast<IMallocSpy*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // Lives as long as the program.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP_(SIZE_T) PreAlloc(SIZE_T request) override { return request; }
    STDMETHODIMP_(void*) PostAlloc(void* actual) override {
        if (actual)
            InterlockedIncrement(&live);
        return actual;
    }
    STDMETHODIMP_(void*) PreFree(void* request, BOOL spyed) override {
        if (request && spyed)
            InterlockedDecrement(&live);
        return request;
    }
    STDMETHODIMP_(void) PostFree(BOOL) override {}
    STDMETHODIMP_(SIZE_T)
    PreRealloc(void* request, SIZE_T size, void** newRequest, BOOL spyed) override {
        // A block that grows from nothing is a new block; one shrunk to nothing is freed.
        if (!request)
            InterlockedIncrement(&live);
        else if (size == 0 && spyed)
            InterlockedDecrement(&live);
        *newRequest = request;
        return size;
    }
    STDMETHODIMP_(void*) PostRealloc(void* actual, BOOL) override { return actual; }
    STDMETHODIMP_(void*) PreGetSize(void* request, BOOL) override { return request; }
    STDMETHODIMP_(SIZE_T) PostGetSize(SIZE_T actual, BOOL) override { return actual; }
    STDMETHODIMP_(void*) PreDidAlloc(void* request, BOOL) override { return request; }
    STDMETHODIMP_(int) PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    STDMETHODIMP_(void) PreHeapMinimize() override {}
    STDMETHODIMP_(void) PostHeapMinimize() override {}
};

CountingSpy spy;
bool spyInstalled = false;

} // namespace

namespace kivtest {

void MakeShortcut(const std::string& linkPath, const std::string& target,
                  const std::string& arguments) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        throw std::runtime_error("MakeShortcut: no link object");
    link->SetPath(target.c_str());
    if (!arguments.empty())
        link->SetArguments(arguments.c_str());
    IPersistFile* file = nullptr;
    HRESULT hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(hr)) {
        MultiByteToWideCharWrapper wide(linkPath.c_str());
        hr = file->Save(wide, TRUE);
        file->Release();
    }
    link->Release();
    if (FAILED(hr))
        throw std::runtime_error("MakeShortcut: cannot save " + linkPath);
}

std::string ShortPathOf(const std::string& path) {
    char buffer[MAX_PATH];
    const DWORD n = GetShortPathNameA(path.c_str(), buffer, sizeof(buffer));
    if (n == 0 || n >= sizeof(buffer))
        return std::string();
    return buffer;
}

long TaskAllocations::Live() {
    return spy.live;
}

bool TaskAllocations::Install() {
    if (!spyInstalled)
        spyInstalled = SUCCEEDED(CoRegisterMallocSpy(&spy));
    return spyInstalled;
}

} // namespace kivtest
