// A list of wildcard masks (such as *.txt) that a scanner filters file
// names through. Masks are ANSI text; the whole text as added is kept for
// the filter.
#pragma once

#include "Packages/Common/Component.h"

#include <functional>
#include <string>

class TMasks;

using TMasksChangedEvent = std::function<void(TMasks* sender)>;

class TMasks : public TComponent {
public:
    explicit TMasks(TComponent* owner);
    ~TMasks() override;

    // Every text added, joined with ";" in the order of the Add calls.
    const std::string& Text() const { return text_; }
    // True only during a Clear of a list that was already empty.
    bool WasEmpty() const { return wasEmpty_; }

    // Adds the masks of maskText (separated by ";") and fires OnChanged. A
    // text that yields no mask changes nothing.
    void Add(const std::string& maskText);
    // Empties the list and fires OnChanged.
    void Clear();

    TMasksChangedEvent OnChanged;

private:
    std::string text_;
    bool wasEmpty_ = false;
};
