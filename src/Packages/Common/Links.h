// The link server: the common base of the trees and the scanner. It has an
// open/closed life state with an Active switch, one notification funnel
// (Notify) through which every structural change is announced to its
// OnNotify event, and a recursive lock that serialises the funnel and the
// state changes across threads.
#pragma once

#include "Packages/Common/Component.h"

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>

enum TServerMessage : uint8_t {
    smOpen = 0,
    smClose = 1,
    smInsert = 2,
    smDelete = 3,
    smClear = 4,
    smCursor = 5,
    smChanged = 6,
    smProcessBegin = 7,
    smProcess = 8,
    smProcessDone = 9,
    smFree = 10,
    smPostAction = 11,
    smMove = 12,
    smMove2 = 13,
};

// The names of the fourteen kinds, indexed by kind.
extern const std::array<const char*, 14> ServerMessageNames;

enum TLinkState : uint8_t { lsOpening = 0, lsOpenPending = 1, lsClosed = 2, lsOpened = 3 };

// A notification parameter: wide enough for the node or record address
// that many notifications carry.
using TNotifyParam = intptr_t;

class TLinkServer;

using TServerNotifyEvent = std::function<void(TLinkServer* sender, TServerMessage kind,
                                              TNotifyParam param1, TNotifyParam param2)>;

class TLinkServer : public TComponent {
public:
    // Created closed (lsClosed).
    explicit TLinkServer(TComponent* owner);
    // Closes. Runs only this class's DoClose: a descendant that overrides it
    // closes in its own destructor.
    ~TLinkServer() override;

    // The funnel: DoNotify (OnNotify); then, while Active, smChanged is
    // followed by BeforeChanged and Changed.
    void Notify(TServerMessage kind, TNotifyParam param1, TNotifyParam param2);

    TLinkState State() const;
    // True exactly in lsOpened.
    bool Active() const;
    // Opens or closes.
    void SetActive(bool value);

    // The instance's recursive lock; descendants wrap multi-step operations in it.
    void Lock() { lock_.lock(); }
    void Unlock() { lock_.unlock(); }

    // Fires OnChange.
    virtual void Changed();

    // Fired by Changed.
    TNotifyEvent OnChange;
    // Fired for every notification before delivery; exceptions are ignored.
    TServerNotifyEvent OnNotify;

protected:
    // Opens the underlying resource; pending = true leaves the open under way
    // (lsOpenPending). False means the open failed.
    virtual bool DoOpen(bool& pending);
    virtual void DoClose() {}
    // Called for an smChanged while Active, before Changed.
    virtual void BeforeChanged() {}
    // Called after every attempt to open, whatever its outcome.
    virtual void AfterOpen() {}
    // Fires OnNotify (not while destroying); false suppresses the notification.
    // Descendants may rewrite the parameters.
    virtual bool DoNotify(TServerMessage& kind, TNotifyParam& param1, TNotifyParam& param2);

private:
    using TGuard = std::lock_guard<std::recursive_mutex>;

    void SetState(TLinkState state);

    mutable std::recursive_mutex lock_;
    TLinkState state_ = lsClosed;
};
