// Loops through links: a folder reached through a link may be a folder the
// walk is already inside, and entering it would repeat the walk without end.
// The guard keeps the folders of the current path and reads their
// identities only when a link is met, so a walk without links opens no
// folder for it.
#pragma once

#include "Packages/Files/FileFunc.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class TLoopGuard {
public:
    // Reads the identity of the folder at path; false when it cannot.
    using TIdReader = std::function<bool(const std::u16string& path, TFolderId& id)>;

    explicit TLoopGuard(TIdReader readId) : readId_(std::move(readId)) {}

    // The walk goes into the folder path, below the folders entered before.
    void Enter(const std::u16string& path);
    // The walk comes back out of the folder entered last.
    void Leave();
    // True when the folder at path is one of the folders of the current
    // path (same volume, same index). A folder whose identity cannot be
    // read leads nowhere: its walk fails by itself, if at all.
    bool LeadsBack(const std::u16string& path);

private:
    struct TStep {
        std::u16string Path;
        bool Read = false;
        std::optional<TFolderId> Id;
    };

    TIdReader readId_;
    std::vector<TStep> path_;
};
