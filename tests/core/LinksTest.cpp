#include "Packages/Common/Links.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

class TRecordingClient : public TLinkClient {
public:
    std::vector<TServerMessage> Kinds;
    bool Throws = false;
    bool Leaves = false; // removes itself when next notified

protected:
    void ServerNotify(TServerMessage kind, TNotifyParam, TNotifyParam) override {
        Kinds.push_back(kind);
        if (std::exchange(Leaves, false))
            Server()->RemoveClient(this);
        if (Throws)
            throw std::runtime_error("client failure");
    }
};

// A server whose hooks leave a trace; smCursor stands for a kind that its
// DoNotify suppresses.
class TProbeServer : public TLinkServer {
public:
    TProbeServer() : TLinkServer(nullptr) {}

    bool OpenPending = false;
    int Closes = 0;
    int OpenAttempts = 0;
    std::vector<std::string>* Trace = nullptr;

protected:
    bool DoOpen(bool& pending) override {
        pending = OpenPending;
        return true;
    }
    void DoClose() override { ++Closes; }
    void AfterOpen() override { ++OpenAttempts; }
    void BeforeChanged() override {
        if (Trace != nullptr)
            Trace->push_back("BeforeChanged");
    }
    bool DoNotify(TServerMessage& kind, TNotifyParam& param1, TNotifyParam& param2) override {
        TLinkServer::DoNotify(kind, param1, param2);
        return kind != smCursor;
    }
};

using Kinds = std::vector<TServerMessage>;

// Setting the current value again does nothing; a pending open is not
// active and is not restarted.
TEST(LinkServer, OpensAndClosesOnceAndWaitsForTheEndOfLoading) {
    TProbeServer server;
    TRecordingClient client;
    server.AddClient(&client);
    EXPECT_EQ(server.State(), lsClosed);
    server.SetActive(true);
    server.SetActive(true);
    EXPECT_TRUE(server.Active());
    EXPECT_EQ(server.OpenAttempts, 1);
    server.SetActive(false);
    server.SetActive(false);
    EXPECT_EQ(client.Kinds, (Kinds{smOpen, smClose}));
    EXPECT_EQ(server.Closes, 1);

    server.OpenPending = true;
    server.SetActive(true);
    EXPECT_EQ(server.State(), lsOpenPending);
    EXPECT_FALSE(server.Active());
    server.SetActive(true);
    EXPECT_EQ(server.OpenAttempts, 2);
    EXPECT_EQ(client.Kinds, (Kinds{smOpen, smClose}));

    // While loading, activation and changes wait for the end of it.
    TProbeServer loaded;
    TRecordingClient loadedClient;
    loaded.AddClient(&loadedClient);
    int changes = 0;
    loaded.OnChange = [&](TComponent*) { ++changes; };
    loaded.BeginLoading();
    loaded.SetActive(true);
    loaded.Changed();
    loaded.Changed();
    EXPECT_FALSE(loaded.Active());
    EXPECT_EQ(changes, 0);
    loaded.EndLoading();
    EXPECT_TRUE(loaded.Active());
    EXPECT_EQ(loadedClient.Kinds, Kinds{smOpen});
    EXPECT_EQ(changes, 1);
}

TEST(LinkServer, ClosedServerShowsStructuralMessagesToOnNotifyOnly) {
    TProbeServer server;
    TRecordingClient client;
    server.AddClient(&client);
    std::vector<std::string> trace;
    server.Trace = &trace;
    server.OnNotify = [&](TLinkServer*, TServerMessage kind, TNotifyParam, TNotifyParam) {
        trace.push_back(std::string("OnNotify ") + ServerMessageNames[kind]);
    };
    server.OnChange = [&](TComponent*) { trace.push_back("OnChange"); };
    for (TServerMessage kind : {smInsert, smDelete, smChanged, smMove})
        server.Notify(kind, 1, 2);
    EXPECT_TRUE(client.Kinds.empty());
    EXPECT_EQ(trace, (std::vector<std::string>{"OnNotify smInsert", "OnNotify smDelete",
                                               "OnNotify smChanged", "OnNotify smMove"}));

    server.SetActive(true);
    trace.clear();
    server.Notify(smChanged, 0, 0);
    server.Notify(smCursor, 0, 0); // suppressed by DoNotify
    EXPECT_EQ(trace, (std::vector<std::string>{"OnNotify smChanged", "BeforeChanged", "OnChange",
                                               "OnNotify smCursor"}));
    EXPECT_EQ(client.Kinds, (Kinds{smOpen, smChanged}));
}

TEST(LinkServer, FailingListenersDoNotStopDeliveryAndHandlersMayCallBack) {
    TProbeServer server;
    TRecordingClient first;
    TRecordingClient second;
    server.AddClient(&first);
    server.AddClient(&second);
    server.SetActive(true);
    first.Throws = true;
    server.OnNotify = [](TLinkServer*, TServerMessage, TNotifyParam, TNotifyParam) {
        throw std::runtime_error("handler failure");
    };
    server.Notify(smInsert, 0, 0);
    EXPECT_EQ(second.Kinds, (Kinds{smOpen, smInsert}));

    server.OnChange = [](TComponent*) { throw std::runtime_error("change failure"); };
    EXPECT_THROW(server.Notify(smChanged, 0, 0), std::runtime_error);

    // The lock is recursive: a handler may notify again on the notifying thread.
    TProbeServer reentered;
    int calls = 0;
    reentered.OnNotify = [&](TLinkServer* sender, TServerMessage kind, TNotifyParam, TNotifyParam) {
        ++calls;
        sender->Lock();
        if (kind == smOpen)
            sender->Notify(smChanged, 0, 0);
        sender->Unlock();
    };
    reentered.SetActive(true);
    EXPECT_EQ(calls, 2);
}

TEST(LinkServer, ClientsAreDetachedByRemovalFreeAndTheirOwnEnd) {
    auto server = std::make_unique<TProbeServer>();
    TRecordingClient leaving;
    TRecordingClient staying;
    server->AddClient(&leaving);
    server->AddClient(&staying);
    {
        TRecordingClient shortLived;
        server->AddClient(&shortLived);
    }
    server->SetActive(true);
    leaving.Leaves = true;
    server->Notify(smInsert, 0, 0);
    EXPECT_EQ(leaving.Kinds, (Kinds{smOpen, smInsert, smClose}));
    EXPECT_EQ(leaving.Server(), nullptr);
    EXPECT_EQ(staying.Kinds, (Kinds{smOpen, smInsert})) << "the next client keeps its turn";

    int handlerCalls = 0;
    server->OnNotify = [&](TLinkServer*, TServerMessage, TNotifyParam, TNotifyParam) {
        ++handlerCalls;
    };
    server.reset();
    EXPECT_EQ(staying.Kinds, (Kinds{smOpen, smInsert, smClose, smFree}));
    EXPECT_EQ(staying.Server(), nullptr);
    EXPECT_EQ(handlerCalls, 0) << "no events while being destroyed";
}

} // namespace
