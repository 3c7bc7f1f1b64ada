#pragma once
// A reference from one component to another that is dropped when the other is
// destroyed. Every link registers on its own, so two links between the same
// pair (one each way, say) never cancel each other's notice.
#include <functional>

#include "base/Component.h"

class TComponentLinkBase {
public:
    TComponentLinkBase(const TComponentLinkBase&) = delete;
    TComponentLinkBase& operator=(const TComponentLinkBase&) = delete;

    // Runs after the target's destruction has cleared the link.
    std::function<void()> OnDropped;

protected:
    TComponentLinkBase() = default;
    ~TComponentLinkBase() { Attach(nullptr); }
    void Attach(TComponent* target);
    TComponent* Target() const { return target_; }

private:
    friend class TComponent;
    void TargetDestroyed();
    virtual void Cleared() = 0;

    TComponent* target_ = nullptr;
};

template <typename T>
class TComponentLink : public TComponentLinkBase {
public:
    TComponentLink() = default;
    ~TComponentLink() { typed_ = nullptr; }

    T* Get() const { return typed_; }
    operator T*() const { return typed_; }
    T* operator->() const { return typed_; }
    void Set(T* target) {
        typed_ = target;
        Attach(target);
    }

private:
    void Cleared() override { typed_ = nullptr; }
    T* typed_ = nullptr;
};
