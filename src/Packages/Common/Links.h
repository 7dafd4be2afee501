// The link server: the common base of the trees and the scanner. It has an
// open/closed life state with an Active switch, one notification funnel
// (Notify) through which every structural change is announced to its
// OnNotify event and its clients, and a recursive lock that serialises the
// funnel and the state changes across threads.
#pragma once

#include "Packages/Common/Component.h"

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

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

// A subscriber of one server. It receives every notification the server
// delivers and refers back to the server until smFree or its removal.
class TLinkClient {
public:
    TLinkClient() = default;
    // Leaves the server it is still attached to.
    virtual ~TLinkClient();
    TLinkClient(const TLinkClient&) = delete;
    TLinkClient& operator=(const TLinkClient&) = delete;

    // The server this client is attached to, or nullptr.
    TLinkServer* Server() const { return server_; }

protected:
    // The entry point for every delivered notification; runs under the
    // server's lock on the thread that notified. Exceptions are ignored.
    virtual void ServerNotify(TServerMessage kind, TNotifyParam param1, TNotifyParam param2) = 0;

private:
    friend class TLinkServer;
    TLinkServer* server_ = nullptr;
};

using TServerNotifyEvent = std::function<void(TLinkServer* sender, TServerMessage kind,
                                              TNotifyParam param1, TNotifyParam param2)>;

class TLinkServer : public TComponent {
public:
    // Created closed (lsClosed) with no clients.
    explicit TLinkServer(TComponent* owner);
    // Closes, sends smFree to the clients and detaches them. Runs only this
    // class's DoClose: a descendant that overrides it closes in its own destructor.
    ~TLinkServer() override;

    // The funnel: DoNotify (OnNotify) first, then, while Active or for
    // smOpen, smClose and smFree, delivery to every client in order.
    // smChanged is framed by BeforeChanged and Changed.
    void Notify(TServerMessage kind, TNotifyParam param1, TNotifyParam param2);

    TLinkState State() const;
    // True exactly in lsOpened.
    bool Active() const;
    // Opens or closes; while loading only records the wish for Loaded.
    void SetActive(bool value);

    // The instance's recursive lock; descendants wrap multi-step operations in it.
    void Lock() { lock_.lock(); }
    void Unlock() { lock_.unlock(); }

    // Attaches client (detaching it from any earlier server); it then
    // receives notifications after those attached before it.
    void AddClient(TLinkClient* client);
    // Detaches client; an active server first sends it alone smClose.
    void RemoveClient(TLinkClient* client);

    // Fires OnChange, or while loading records that a change happened.
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
    // Called just before an smChanged is delivered.
    virtual void BeforeChanged() {}
    // Called after every attempt to open, whatever its outcome.
    virtual void AfterOpen() {}
    // Fires OnNotify (not while destroying); false suppresses the notification.
    // Descendants may rewrite the parameters.
    virtual bool DoNotify(TServerMessage& kind, TNotifyParam& param1, TNotifyParam& param2);
    // Applies an Active value and a change recorded while loading.
    void Loaded() override;

private:
    friend class TLinkClient;
    using TGuard = std::lock_guard<std::recursive_mutex>;

    void SetState(TLinkState state);
    void Detach(TLinkClient* client);

    mutable std::recursive_mutex lock_;
    std::vector<TLinkClient*> clients_;
    bool streamedActive_ = false;
    bool changedWhileLoading_ = false;
    TLinkState state_ = lsClosed;
};
