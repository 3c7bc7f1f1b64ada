#include "base/Component.h"

#include <algorithm>

#include "base/ComponentLink.h"
#include "base/PropertyValue.h"

TComponent::TComponent(TComponent* owner) {
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    destroying_ = true;
    // Every link to us is dropped before we are gone.
    while (!links_.empty()) links_.back()->TargetDestroyed();
    DestroyComponents();
    if (owner_) owner_->RemoveComponent(this);
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) {
        TComponent* last = components_.back();
        delete last;  // its destructor removes it from components_
    }
}

void TComponent::InsertComponent(TComponent* child) {
    components_.push_back(child);
    child->owner_ = this;
    Notification(child, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* child) {
    Notification(child, TOperation::opRemove);
    components_.erase(std::remove(components_.begin(), components_.end(), child), components_.end());
    child->owner_ = nullptr;
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    for (TComponent* c : components_)
        if (c->name_ == name) return c;
    return nullptr;
}

void TComponent::Notification(TComponent*, TOperation) {}

bool TComponent::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader&) {
    if (name == "Name") {
        name_ = value.AsString();
        return true;
    }
    return false;
}

void TComponentLinkBase::Attach(TComponent* target) {
    if (target == target_) return;
    if (target_) {
        auto& links = target_->links_;
        links.erase(std::remove(links.begin(), links.end(), this), links.end());
    }
    target_ = target;
    if (target_) target_->links_.push_back(this);
}

void TComponentLinkBase::TargetDestroyed() {
    Attach(nullptr);
    Cleared();
    if (OnDropped) OnDropped();
}
