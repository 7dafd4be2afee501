#include "Packages/Common/Links.h"

#include <algorithm>

const std::array<const char*, 14> ServerMessageNames = {
    "smOpen",   "smClose",      "smInsert",       "smDelete",  "smClear",
    "smCursor", "smChanged",    "smProcessBegin", "smProcess", "smProcessDone",
    "smFree",   "smPostAction", "smMove",         "smMove2"};

TLinkClient::~TLinkClient() {
    if (server_ != nullptr)
        server_->Detach(this);
}

TLinkServer::TLinkServer(TComponent* owner) : TComponent(owner) {}

TLinkServer::~TLinkServer() {
    TGuard guard(lock_);
    BeginDestroy();
    SetActive(false);
    Notify(smFree, 0, 0);
    while (!clients_.empty())
        RemoveClient(clients_.front());
}

void TLinkServer::Notify(TServerMessage kind, TNotifyParam param1, TNotifyParam param2) {
    TGuard guard(lock_);
    if (!DoNotify(kind, param1, param2))
        return;
    if (state_ != lsOpened && kind != smOpen && kind != smClose && kind != smFree)
        return;
    if (kind == smChanged)
        BeforeChanged();
    // By index: a client may detach itself, or end, while it is notified;
    // the next one then stands at the same index.
    for (size_t i = 0; i < clients_.size();) {
        TLinkClient* client = clients_[i];
        try {
            client->ServerNotify(kind, param1, param2);
        } catch (...) {
            // One failing client must not keep the others uninformed.
        }
        if (i < clients_.size() && clients_[i] == client) {
            if (kind == smFree)
                client->server_ = nullptr;
            ++i;
        }
    }
    if (kind == smChanged)
        Changed();
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
    if (Loading()) {
        streamedActive_ = value;
        return;
    }
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

void TLinkServer::AddClient(TLinkClient* client) {
    if (client->server_ != nullptr)
        client->server_->Detach(client);
    TGuard guard(lock_);
    clients_.push_back(client);
    client->server_ = this;
}

void TLinkServer::RemoveClient(TLinkClient* client) {
    TGuard guard(lock_);
    if (std::find(clients_.begin(), clients_.end(), client) == clients_.end())
        return;
    if (Active()) {
        try {
            client->ServerNotify(smClose, 0, 0);
        } catch (...) {
            // The client leaves whatever it thinks of the close.
        }
    }
    Detach(client);
}

void TLinkServer::Changed() {
    TGuard guard(lock_);
    if (Loading()) {
        changedWhileLoading_ = true;
        return;
    }
    changedWhileLoading_ = false;
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

void TLinkServer::Loaded() {
    TGuard guard(lock_);
    TComponent::Loaded();
    if (streamedActive_)
        SetActive(streamedActive_);
    if (changedWhileLoading_)
        Changed();
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

void TLinkServer::Detach(TLinkClient* client) {
    TGuard guard(lock_);
    auto it = std::find(clients_.begin(), clients_.end(), client);
    if (it != clients_.end())
        clients_.erase(it);
    if (client->server_ == this)
        client->server_ = nullptr;
}
