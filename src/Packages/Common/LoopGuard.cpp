#include "Packages/Common/LoopGuard.h"

void TLoopGuard::Enter(const std::u16string& path) {
    path_.push_back({path, false, std::nullopt});
}

void TLoopGuard::Leave() {
    path_.pop_back();
}

bool TLoopGuard::LeadsBack(const std::u16string& path) {
    TFolderId target;
    if (!readId_(path, target))
        return false;
    for (TStep& step : path_) {
        // Each folder of the path is opened at most once while it is on it.
        if (!step.Read) {
            step.Read = true;
            TFolderId id;
            if (readId_(step.Path, id))
                step.Id = id;
        }
        if (step.Id == target)
            return true;
    }
    return false;
}
