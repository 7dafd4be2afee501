#include "Packages/Common/Links.h"

const std::array<const char*, 14> ServerMessageNames = {
    "smOpen",   "smClose",      "smInsert",       "smDelete",  "smClear",
    "smCursor", "smChanged",    "smProcessBegin", "smProcess", "smProcessDone",
    "smFree",   "smPostAction", "smMove",         "smMove2"};

TLinkServer::TLinkServer(TComponent* owner) : TComponent(owner) {}

TLinkServer::~TLinkServer() {
    TGuard guard(lock_);
    BeginDestroy();
    SetActive(false);
}

void TLinkServer::Notify(TServerMessage kind, TNotifyParam param1, TNotifyParam param2) {
    TGuard guard(lock_);
    if (!DoNotify(kind, param1, param2))
        return;
    if (kind == smChanged && state_ == lsOpened) {
        BeforeChanged();
        Changed();
    }
}

TLinkState TLinkServer::State() const {
    TGuard guard(lock_);
    return state_;
}

bool TLinkServer::Active() const {
    return State() == lsOpened;
}

void TLinkServer::SetActive(bool value) {
    TGuard guard(lock_);
    if (value == Active())
        return;
    if (!value) {
        SetState(lsClosed);
        DoClose();
        return;
    }
    // An open already under way is not restarted.
    if (state_ != lsClosed && state_ != lsOpened)
        return;
    SetState(lsOpening);
    bool pending = false;
    const bool opened = DoOpen(pending);
    if (pending)
        SetState(lsOpenPending);
    else
        SetState(opened ? lsOpened : lsClosed);
    AfterOpen();
}

void TLinkServer::Changed() {
    TGuard guard(lock_);
    if (OnChange && !Destroying())
        OnChange(this);
}

bool TLinkServer::DoOpen(bool& pending) {
    pending = false;
    return true;
}

bool TLinkServer::DoNotify(TServerMessage& kind, TNotifyParam& param1, TNotifyParam& param2) {
    if (OnNotify && !Destroying()) {
        try {
            OnNotify(this, kind, param1, param2);
        } catch (...) {
            // A listener's failure does not stop the notification.
        }
    }
    return true;
}

void TLinkServer::SetState(TLinkState state) {
    TGuard guard(lock_);
    if (state == state_)
        return;
    state_ = state;
    if (state == lsClosed)
        Notify(smClose, 0, 0);
    else if (state == lsOpened)
        Notify(smOpen, 0, 0);
}
