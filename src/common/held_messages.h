// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "common/messages.h"

namespace ampvane {

// Holds messages back to pass them on later, each text once: what a recomputation made on every
// keystroke reports is shown when the user leaves the field, not in the middle of typing.
class HeldMessages final : public MessageSink {
public:
    void Report(const Message& message) override;
    bool Empty() const { return held_.empty(); }
    void Clear() { held_.clear(); }
    // Passes the held messages on, in the order they came, and forgets them.
    void Release(MessageSink& to);

private:
    std::vector<Message> held_;
};

} // namespace ampvane
