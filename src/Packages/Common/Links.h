// The link server: the common base of the trees and the scanner. It holds a
// recursive lock that serialises multi-step operations across threads.
#pragma once

#include "Packages/Common/Component.h"

#include <mutex>

class TLinkServer : public TComponent {
public:
    explicit TLinkServer(TComponent* owner) : TComponent(owner) {}

    // The instance's recursive lock; descendants wrap multi-step operations in it.
    void Lock() { lock_.lock(); }
    void Unlock() { lock_.unlock(); }

private:
    std::recursive_mutex lock_;
};
