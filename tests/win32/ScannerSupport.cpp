#include "ScannerSupport.h"

#include "Packages/Common/WndMan.h"

#include <chrono>

namespace scanner_test {

TSampleTree::TSampleTree() : data_(folder_.Path() + u"\\data") {
    for (const char16_t* dir :
         {u"", u"\\sub", u"\\sub\\deep", u"\\System Volume Information", u"\\RECYCLER"})
        WideCreateDir(data_ + dir);
    for (const auto& [name, size] : {std::pair<const char16_t*, size_t>{u"a.txt", 3},
                                     {u"b.doc", 5},
                                     {u"sub\\c.txt", 7},
                                     {u"sub\\deep\\d.txt", 11},
                                     {u"System Volume Information\\x.txt", 13},
                                     {u"RECYCLER\\y.txt", 17}})
        wine_host::MakeFile(Path(name), std::string(size, 'x'));
}

TTestWorker::TTestWorker(TCustomDirScaner* scanner, std::function<void(TTestWorker&)> body)
    : TCustomThread(scanner, nullptr), body_(std::move(body)) {}

bool RunLoopUntil(const std::function<bool()>& done, int timeoutMs,
                  const std::function<void(const TThreadMessage&)>& onMessage) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    const uint32_t thread = CurrentThreadId();
    THiddenWindow watch("Scanner test loop", [&](uint32_t message, uintptr_t, intptr_t) {
        if (message == WM_TIMER_ID && (done() || std::chrono::steady_clock::now() > deadline))
            PostThreadMessageTo(thread, {WM_QUIT_ID, 0, 0});
    });
    if (!done()) {
        watch.StartTimer(1, 5);
        RunMessageLoop([&](const TThreadMessage& message) {
            if (onMessage)
                onMessage(message);
        });
        watch.StopTimer(1);
    }
    return done();
}

std::set<std::u16string> ItemSet(const TCustomDirScaner& scanner) {
    std::set<std::u16string> paths;
    for (TTreeNode* n = scanner.FirstItem(false); n != nullptr; n = scanner.NextItem(n, false))
        paths.insert(scanner.GetItemPath(n));
    return paths;
}

} // namespace scanner_test
