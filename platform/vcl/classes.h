// Components: objects with an owner that destroys them, and a name.
#pragma once

#include <memory>
#include <vector>

#include "platform/vcl/system.h"

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* Owner);
    ~TComponent() override;

    TComponent* Owner() const { return owner_; }
    String Name;

protected:
    // Destroys the owned components, last-created first.
    void DestroyComponents();
    // Forgets the owned components without destroying them.
    void AbandonComponents();

private:
    void insertOwned(TComponent* component);
    void removeOwned(TComponent* component);

    TComponent* owner_;
    std::vector<TComponent*> owned_;
};
