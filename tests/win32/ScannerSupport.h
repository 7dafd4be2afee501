// Shared pieces of the scanner tests: a folder tree on the host, a worker
// whose job the test gives, and a message loop that runs until a condition holds.
#pragma once

#include "Packages/Common/DirScaner.h"
#include "Packages/Common/ScanThreads.h"
#include "WineHost.h"
#include "system/Process.h"

#include <functional>
#include <memory>
#include <set>
#include <string>

namespace scanner_test {

// data\a.txt (3 bytes), data\b.doc (5), data\sub\c.txt (7),
// data\sub\deep\d.txt (11), data\System Volume Information\x.txt (13),
// data\RECYCLER\y.txt (17), below a fresh folder.
class TSampleTree {
public:
    TSampleTree();
    const std::u16string& Data() const { return data_; }
    std::u16string Path(const std::u16string& relative) const { return data_ + u"\\" + relative; }

private:
    wine_host::TTempFolder folder_;
    std::u16string data_;
};

// A worker that runs body as its job.
class TTestWorker final : public TCustomThread {
public:
    TTestWorker(TCustomDirScaner* scanner, std::function<void(TTestWorker&)> body);

protected:
    void Work() override { body_(*this); }

private:
    std::function<void(TTestWorker&)> body_;
};

// Dispatches the thread's messages until done() holds or timeoutMs has
// passed, handing thread messages to onMessage; returns done().
bool RunLoopUntil(const std::function<bool()>& done, int timeoutMs = 10000,
                  const std::function<void(const TThreadMessage&)>& onMessage = {});

// Every item path of the master tree.
std::set<std::u16string> ItemSet(const TCustomDirScaner& scanner);

// The scanner options of the tests that wait for their workers.
constexpr TScanerOptions kSynchronous = DefaultScanerOptions.Without(soASync);

} // namespace scanner_test
