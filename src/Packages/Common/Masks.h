// A list of wildcard masks (such as *.txt) that a scanner filters file
// names through. Masks are ANSI text; the whole text as added is kept for
// the filter, and each single mask is announced as it comes and goes.
#pragma once

#include "Packages/Common/Component.h"

#include <cstdint>
#include <functional>
#include <string>

class TMasks;

// Operations announced by OnMaskChange.
enum TMaskOperation : uint8_t { moInsert = 0, moDelete = 1, moClear = 2 };

using TMaskChangeEvent =
    std::function<void(TMasks* sender, const std::string& mask, TMaskOperation op)>;
using TMasksChangedEvent = std::function<void(TMasks* sender)>;

class TMasks : public TComponent {
public:
    explicit TMasks(TComponent* owner);
    ~TMasks() override;

    // Every text added, joined with ";" in the order of the Add calls.
    const std::string& Text() const { return text_; }
    // True only during a Clear of a list that was already empty.
    bool WasEmpty() const { return wasEmpty_; }

    // Adds the masks of maskText (separated by ";"); fires OnMaskChange per
    // mask and then OnChanged. A text that yields no mask changes nothing.
    void Add(const std::string& maskText);
    // Empties the list; fires OnMaskChange(empty, moClear) and OnChanged.
    void Clear();

    TMaskChangeEvent OnMaskChange;
    TMasksChangedEvent OnChanged;

private:
    std::string text_;
    bool wasEmpty_ = false;
};
