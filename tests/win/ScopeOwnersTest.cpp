// The scope owners of platform/ScopeOwners.h: each gives its resource back at
// the end of its scope, the last declared first. (A Take() or a move that
// leaves its source holding closes the folder listing's handle or deletes the
// banner, which the end-to-end folder and banner tests see; an owner that
// releases nothing grows the soak's counts. ComScope's COM is the end-to-end
// tests': without it no shortcut resolves.)
#include "platform/ScopeOwners.h"

#include <gtest/gtest.h>

namespace {

// A COM object that only counts its references.
struct Counted : IUnknown {
    ULONG references = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
};

}  // namespace

TEST(ScopeOwners, GdiObjectsAreSelectedOutThenDeleted) {
    HDC dc;
    HBRUSH brush;
    {
        const MemoryDC memory(CreateCompatibleDC(nullptr));
        ASSERT_TRUE(memory);
        dc = memory.Get();
        const HGDIOBJ entryBrush = GetCurrentObject(dc, OBJ_BRUSH);
        {
            const GdiObject<HBRUSH> owned(CreateSolidBrush(0x123456));
            ASSERT_TRUE(owned);
            brush = owned.Get();
            const SelectedObject selection(dc, brush);
            EXPECT_TRUE(selection);
            EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
        }
        // Selected out first, so that the delete that follows is not refused.
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), entryBrush);
        EXPECT_EQ(GetObjectType(brush), 0u);
    }
    EXPECT_EQ(GetObjectType(dc), 0u);
}

TEST(ScopeOwners, ComReferencesAreBalanced) {
    Counted first, second;
    {
        ComOwner<Counted> owner;
        *owner.Out() = &first;
        EXPECT_EQ(owner->AddRef(), 2u);
        first.Release();
        *owner.Out() = &second;  // gives the first reference back
        EXPECT_EQ(first.references, 0u);
        EXPECT_EQ(second.references, 1u);
    }
    EXPECT_EQ(second.references, 0u);
}
