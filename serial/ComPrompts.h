#pragma once

#include "data/Messages.h"

namespace zel {

// The serial component's own modal dialogs, behind an interface so that the
// window shows them and tests answer them.
class ComPrompts {
public:
    enum class Answer { Abort, Retry };
    virtual ~ComPrompts() = default;
    // A warning with the buttons Abort and Retry.
    virtual Answer abortRetry(const ComPrompt& prompt) = 0;
    // A plain message with an OK button.
    virtual void message(const ComPrompt& prompt) = 0;
};

} // namespace zel
