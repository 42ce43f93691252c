// The order in which the foreground is sought for a window of ours. Windows gives the foreground
// only to a process that may take it (the foreground's own, one that received the last input,
// ...): a bare SetForegroundWindow from a hook or a drop target is refused on real Windows. The
// ways round it, cheapest first: ask; ask attached to the input of the foreground window's thread
// (not to one that does not answer, nor to our own); inject a harmless key of our own, after which
// the process that sent the last input may set the foreground, and ask once more when it has
// passed. Each step is carried out at the edge, which reports what it saw.
#pragma once

namespace rivo {

enum class ActivationStep {
    Ask,            // SetForegroundWindow
    AttachAndAsk,   // the same, attached to the foreground thread's input for the call
    SendUnlockKey,  // inject the unlock key; the next step waits until it has passed
    Retry,          // ask once more, the unlock key having passed
    Done,           // the window is in the foreground
    GiveUp,         // refused every way: the taskbar button flashes instead
};

// What the edge saw after carrying out a step.
struct ActivationOutcome {
    bool foreground = false;  // the target is the foreground window now
    bool canAttach = false;   // a foreground window of another thread, which answers
    bool keySent = false;     // the unlock key was queued (SendUnlockKey only)
};

// The step after `done`; Ask comes first.
ActivationStep NextActivationStep(ActivationStep done, const ActivationOutcome& outcome);

}  // namespace rivo
