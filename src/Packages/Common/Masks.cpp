#include "Packages/Common/Masks.h"

#include "Packages/Files/FileMasks.h"

#include <algorithm>

TMasks::TMasks(TComponent* owner) : TComponent(owner) {}

TMasks::~TMasks() {
    BeginDestroy();
}

void TMasks::Add(const std::string& maskText) {
    if (maskText.empty())
        return;
    std::vector<std::string> pieces;
    if (!SplitMaskList(maskText, pieces))
        return;
    for (const std::string& piece : pieces) {
        const std::string key = LowerCaseBytes(piece);
        const auto at = std::lower_bound(list_.begin(), list_.end(), key,
                                         [](const std::string& entry, const std::string& k) {
                                             return LowerCaseBytes(entry) < k;
                                         });
        list_.insert(at, piece);
    }
    text_ = text_.empty() ? maskText : text_ + ";" + maskText;
    if (Destroying())
        return;
    if (OnMaskChange)
        for (const std::string& piece : pieces)
            OnMaskChange(this, piece, moInsert);
    if (OnChanged)
        OnChanged(this);
}

void TMasks::Clear() {
    list_.clear();
    wasEmpty_ = text_.empty();
    text_.clear();
    if (!Destroying()) {
        if (OnMaskChange)
            OnMaskChange(this, std::string(), moClear);
        if (OnChanged)
            OnChanged(this);
    }
    wasEmpty_ = false;
}
