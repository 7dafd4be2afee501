#include "Packages/Common/Masks.h"

#include "Packages/Files/FileMasks.h"

#include <vector>

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
    text_ = text_.empty() ? maskText : text_ + ";" + maskText;
    if (!Destroying() && OnChanged)
        OnChanged(this);
}

void TMasks::Clear() {
    wasEmpty_ = text_.empty();
    text_.clear();
    if (!Destroying() && OnChanged)
        OnChanged(this);
    wasEmpty_ = false;
}
