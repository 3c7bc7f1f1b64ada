#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/Component.h"
#include "base/ComponentLink.h"

namespace {
class TRecorder : public TComponent {
public:
    TRecorder(TComponent* owner, const char* name, bool* destroyed = nullptr)
        : TComponent(owner), destroyed_(destroyed) { SetName(name); }
    ~TRecorder() override { if (destroyed_) *destroyed_ = true; }
    // By name: the component told about may already be half destroyed.
    std::vector<std::pair<std::string, TOperation>> told;

protected:
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        told.emplace_back(component->Name(), operation);
    }

private:
    bool* destroyed_;
};

using Notices = std::vector<std::pair<std::string, TOperation>>;

}  // namespace

TEST(Ownership, AnOwnerDestroysWhatItOwns) {
    bool first = false, second = false;
    {
        TComponent owner(nullptr);
        new TRecorder(&owner, "first", &first);
        new TRecorder(&owner, "second", &second);
        EXPECT_EQ(owner.Components().size(), 2u);
    }
    EXPECT_TRUE(first);
    EXPECT_TRUE(second);
}

TEST(Ownership, AnOwnedComponentDestroyedFirstLeavesItsOwner) {
    TRecorder owner(nullptr, "owner");
    auto* kid = new TRecorder(&owner, "kid");
    EXPECT_EQ(owner.FindComponent("kid"), kid);
    delete kid;
    EXPECT_TRUE(owner.Components().empty());
    EXPECT_EQ(owner.FindComponent("kid"), nullptr);
    // The insertion is told before the new component has its name.
    EXPECT_EQ(owner.told, (Notices{{"", TOperation::opInsert}, {"kid", TOperation::opRemove}}));
}

TEST(ComponentLink, IsClearedWhenItsTargetGoesAndSaysSo) {
    TComponentLink<TComponent> link;
    int dropped = 0;
    link.OnDropped = [&] { ++dropped; };
    auto* first = new TComponent(nullptr);
    auto* second = new TComponent(nullptr);
    link.Set(first);
    link.Set(second);  // moving on: the first one's end is no longer news
    delete first;
    EXPECT_EQ(link.Get(), second);
    EXPECT_EQ(dropped, 0);
    delete second;
    EXPECT_EQ(link.Get(), nullptr);
    EXPECT_EQ(dropped, 1);
}

TEST(ComponentLink, LinksBetweenTheSamePairNeverCancelEachOther) {
    // Each side links to the other and unlinks in its destructor, in either order.
    struct TPartner : TComponent {
        explicit TPartner(TComponent* owner) : TComponent(owner) {}
        ~TPartner() override { other.Set(nullptr); }
        TComponentLink<TPartner> other;
    };
    for (bool firstGoesFirst : {true, false}) {
        SCOPED_TRACE(firstGoesFirst);
        auto* a = new TPartner(nullptr);
        auto* b = new TPartner(nullptr);
        a->other.Set(b);
        b->other.Set(a);
        TPartner* goes = firstGoesFirst ? a : b;
        TPartner* stays = firstGoesFirst ? b : a;
        delete goes;
        EXPECT_EQ(stays->other.Get(), nullptr);
        delete stays;
    }
}

TEST(ComponentLink, AHolderThatGoesFirstLeavesItsTargetClean) {
    auto* target = new TComponent(nullptr);
    int dropped = 0;
    {
        TComponentLink<TComponent> link;
        link.OnDropped = [&] { ++dropped; };
        link.Set(target);
    }
    TComponentLink<TComponent> later;
    later.Set(target);
    delete target;
    EXPECT_EQ(later.Get(), nullptr);
    EXPECT_EQ(dropped, 0);
}

