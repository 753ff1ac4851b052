// The scope owners of host/ScopeOwners.h: each gives its resource back at the
// end of its scope, the last declared first; Take() hands a resource on
// unreleased, and a move leaves the source empty. (ComScope's COM is the
// end-to-end tests': without it no shortcut resolves.)
#include "platform/ScopeOwners.h"

#include <gtest/gtest.h>

#include <utility>

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

TEST(ScopeOwners, TakeHandsOnAndMovesLeaveTheSourceEmpty) {
    HBITMAP kept;
    {
        GdiObject<HBITMAP> first(CreateBitmap(4, 4, 1, 32, nullptr));
        ASSERT_TRUE(first);
        kept = first.Get();
        GdiObject<HBITMAP> second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(second.Get(), kept);
        GdiObject<HBITMAP> third;
        third = std::move(second);
        EXPECT_FALSE(second);
        EXPECT_EQ(third.Get(), kept);
        EXPECT_EQ(third.Take(), kept);
        EXPECT_FALSE(third);
    }
    EXPECT_EQ(GetObjectType(kept), static_cast<DWORD>(OBJ_BITMAP));

    // Reset and a move into a full owner release what it held.
    GdiObject<HBITMAP> owner(kept);
    owner.Reset(CreateBitmap(2, 2, 1, 32, nullptr));
    EXPECT_EQ(GetObjectType(kept), 0u);
    const HBITMAP replaced = owner.Get();
    owner = GdiObject<HBITMAP>(CreateBitmap(2, 2, 1, 32, nullptr));
    EXPECT_EQ(GetObjectType(replaced), 0u);
    EXPECT_EQ(GetObjectType(owner.Get()), static_cast<DWORD>(OBJ_BITMAP));
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
