#include "platform/vcl/classes.h"

#include <algorithm>

TComponent::TComponent(TComponent* Owner) : owner_(Owner) {
    if (owner_) owner_->insertOwned(this);
}

TComponent::~TComponent() {
    DestroyComponents();
    if (owner_) owner_->removeOwned(this);
}

void TComponent::DestroyComponents() {
    // Each one leaves the list itself as it goes.
    while (!owned_.empty()) delete owned_.back();
}

void TComponent::insertOwned(TComponent* component) { owned_.push_back(component); }

void TComponent::removeOwned(TComponent* component) {
    owned_.erase(std::remove(owned_.begin(), owned_.end(), component), owned_.end());
}

void TComponent::AbandonComponents() {
    for (TComponent* component : owned_) component->owner_ = nullptr;
    owned_.clear();
}
