// The base of the program's data components: an owner, a name, and the
// loading and destroying flags that decide whether a component fires its
// events now or replays them later.
#pragma once

#include <functional>
#include <string>
#include <utility>

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
    const std::string& ComponentName() const { return name_; }
    void SetComponentName(std::string name) { name_ = std::move(name); }

    // True between BeginLoading and EndLoading: changes are recorded, not fired.
    bool Loading() const { return loading_; }
    // True once destruction has begun: no events are fired any more.
    bool Destroying() const { return destroying_; }

    // Starts a batch of settings that take effect together at EndLoading.
    void BeginLoading() { loading_ = true; }
    // Ends the batch: runs Loaded, which applies what was recorded.
    void EndLoading() { Loaded(); }

protected:
    // Clears the loading flag; overrides call this first, then replay.
    virtual void Loaded() { loading_ = false; }
    // Marks the start of destruction; the first destructor that does work calls it.
    void BeginDestroy() { destroying_ = true; }

private:
    TComponent* owner_;
    std::string name_;
    bool loading_ = false;
    bool destroying_ = false;
};
