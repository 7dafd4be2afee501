// One-off clean-up: a call that runs when the scope ends, also when an
// exception passes.
#pragma once

#include <utility>

// Runs cleanUp once, when the object goes. cleanUp must not throw: it may
// run while an exception passes.
template <typename CleanUp> class ScopeExit {
public:
    explicit ScopeExit(CleanUp cleanUp) : cleanUp_(std::move(cleanUp)) {}
    ~ScopeExit() { cleanUp_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    CleanUp cleanUp_;
};
