// The base of the program's data components: an owner and the destroying
// flag that stops a component's events once its destruction has begun.
#pragma once

#include <functional>

class TComponent;

// An event with only its sender; fired only when assigned.
using TNotifyEvent = std::function<void(TComponent* sender)>;

class TComponent {
public:
    // owner: the component this one belongs to, or nullptr. The owner does
    // not free it: whoever holds the component does.
    explicit TComponent(TComponent* owner) : owner_(owner) {}
    virtual ~TComponent() = default;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    // True once destruction has begun: no events are fired any more.
    bool Destroying() const { return destroying_; }

protected:
    // Marks the start of destruction; the first destructor that does work calls it.
    void BeginDestroy() { destroying_ = true; }

private:
    TComponent* owner_;
    bool destroying_ = false;
};
