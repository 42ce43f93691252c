// Activation messages of the launcher window arrive nested: hiding the active window (window
// mode 2) deactivates it inside the ShowWindow call of the activation being handled. The later
// message has set the window's state, and the earlier one must not undo it. Each handling takes
// a ticket; whether another was taken since tells the two apart.
#pragma once

#include <cstdint>

namespace rivo {

class ActivationSerial {
public:
    using Ticket = std::uint32_t;

    // Taken as the handling of one activation message begins.
    Ticket Take() noexcept { return ++taken_; }
    // The ticket the next activation message will take.
    Ticket Next() const noexcept { return taken_ + 1; }
    // Another activation message was handled since the one holding `ticket` (counting wraps).
    bool Superseded(Ticket ticket) const noexcept { return taken_ != ticket; }

private:
    Ticket taken_ = 0;
};

}  // namespace rivo
