#include "Packages/Common/Links.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A server whose hooks leave a trace; its DoNotify suppresses every
// notification while Suppress is set.
class TProbeServer : public TLinkServer {
public:
    TProbeServer() : TLinkServer(nullptr) {}

    bool OpenPending = false;
    bool Suppress = false;
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
        return !Suppress;
    }
};

using Kinds = std::vector<TServerMessage>;

// Records the kinds that reach OnNotify.
void Record(TLinkServer& server, Kinds& kinds) {
    server.OnNotify = [&kinds](TLinkServer*, TServerMessage kind, TNotifyParam, TNotifyParam) {
        kinds.push_back(kind);
    };
}

// Setting the current value again does nothing; a pending open is not
// active and is not restarted.
TEST(LinkServer, OpensAndClosesOnce) {
    TProbeServer server;
    Kinds kinds;
    Record(server, kinds);
    EXPECT_EQ(server.State(), lsClosed);
    server.SetActive(true);
    server.SetActive(true);
    EXPECT_TRUE(server.Active());
    EXPECT_EQ(server.OpenAttempts, 1);
    server.SetActive(false);
    server.SetActive(false);
    EXPECT_EQ(kinds, (Kinds{smOpen, smClose}));
    EXPECT_EQ(server.Closes, 1);

    server.OpenPending = true;
    server.SetActive(true);
    EXPECT_EQ(server.State(), lsOpenPending);
    EXPECT_FALSE(server.Active());
    server.SetActive(true);
    EXPECT_EQ(server.OpenAttempts, 2);
    EXPECT_EQ(kinds, (Kinds{smOpen, smClose}));
}

// A closed server still shows every message to OnNotify; only an open one
// frames smChanged with BeforeChanged and OnChange.
TEST(LinkServer, OnlyAnOpenServerFiresItsChange) {
    TProbeServer server;
    std::vector<std::string> trace;
    server.Trace = &trace;
    server.OnNotify = [&](TLinkServer*, TServerMessage kind, TNotifyParam, TNotifyParam) {
        trace.push_back(std::string("OnNotify ") + ServerMessageNames[kind]);
    };
    server.OnChange = [&](TComponent*) { trace.push_back("OnChange"); };
    for (TServerMessage kind : {smInsert, smDelete, smChanged, smMove})
        server.Notify(kind, 1, 2);
    EXPECT_EQ(trace, (std::vector<std::string>{"OnNotify smInsert", "OnNotify smDelete",
                                               "OnNotify smChanged", "OnNotify smMove"}));

    server.SetActive(true);
    trace.clear();
    server.Notify(smChanged, 0, 0);
    server.Suppress = true;
    server.Notify(smChanged, 0, 0);
    EXPECT_EQ(trace, (std::vector<std::string>{"OnNotify smChanged", "BeforeChanged", "OnChange",
                                               "OnNotify smChanged"}));
}

TEST(LinkServer, FailingListenersDoNotStopTheChangeAndHandlersMayCallBack) {
    TProbeServer server;
    server.SetActive(true);
    std::vector<std::string> trace;
    server.Trace = &trace;
    server.OnNotify = [](TLinkServer*, TServerMessage, TNotifyParam, TNotifyParam) {
        throw std::runtime_error("handler failure");
    };
    server.Notify(smChanged, 0, 0);
    EXPECT_EQ(trace, std::vector<std::string>{"BeforeChanged"});

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

} // namespace
