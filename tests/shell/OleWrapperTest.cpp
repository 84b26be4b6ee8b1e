#include <gtest/gtest.h>

#include <utility>

#include "OleWrapper.h"

namespace {

// Counts its references; the test owns it (on the stack), so nothing is deleted.
class Counted : public IUnknown {
public:
    LONG references = 0;
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown ? this : nullptr;
        if (!*out)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }
};

} // namespace

TEST(OleWrapper, EmptyAndTakingOver) {
    OleWrapper<IUnknown> empty;
    EXPECT_FALSE(empty);
    EXPECT_EQ(empty.Get(), nullptr);
    empty.Release(); // nothing to release
    Counted object;
    object.references = 1; // the reference a call returned
    {
        OleWrapper<IUnknown> holder(&object);
        EXPECT_EQ(object.references, 1) << "taking over adds no reference";
        EXPECT_EQ(holder.Get(), &object);
        EXPECT_EQ(holder.operator->(), &object);
    }
    EXPECT_EQ(object.references, 0) << "destruction releases";
}

TEST(OleWrapper, CopyAndAssignment) {
    Counted a, b;
    a.references = b.references = 1;
    OleWrapper<IUnknown> first(&a);
    {
        OleWrapper<IUnknown> copy(first);
        EXPECT_EQ(a.references, 2);
        OleWrapper<IUnknown> other(&b);
        other = first; // releases b, adds a reference to a
        EXPECT_EQ(b.references, 0);
        EXPECT_EQ(a.references, 3);
        other = other; // the only reference it holds is never let go of on the way
        EXPECT_EQ(a.references, 3);
        copy = OleWrapper<IUnknown>(); // assigning empty releases
        EXPECT_EQ(a.references, 2);
        EXPECT_FALSE(copy);
    }
    EXPECT_EQ(a.references, 1);
    OleWrapper<IUnknown> moved(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(a.references, 1) << "a move hands the reference on";
    moved.Release();
    EXPECT_EQ(a.references, 0);
    EXPECT_FALSE(moved);
}

TEST(OleWrapper, OutParametersResetAndDetach) {
    Counted a, b;
    a.references = 1;
    OleWrapper<IUnknown> holder(&a);
    // A call's out-parameter: the old pointer goes first, the returned reference is kept.
    EXPECT_EQ(b.QueryInterface(IID_IUnknown, holder.PutVoid()), S_OK);
    EXPECT_EQ(a.references, 0);
    EXPECT_EQ(b.references, 1);
    EXPECT_EQ(holder.Get(), &b);
    IUnknown* raw = holder.Detach();
    EXPECT_FALSE(holder);
    EXPECT_EQ(b.references, 1) << "detaching keeps the reference for the caller";
    holder.Reset(raw);
    EXPECT_EQ(b.references, 1);
    holder.Reset();
    EXPECT_EQ(b.references, 0);
}
