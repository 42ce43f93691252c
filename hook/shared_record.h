// The record SetHandle hands over, shared between the caller's thread and the hook thread.
#pragma once

#include <windows.h>

#include "hook/hook_record.h"

namespace rivo {

// The writer stores; the hook thread takes the record on its next event when it has changed.
// The hook callback is the reader, so the lock is a slim one held for a 16-byte copy: it never
// makes a key wait.
class SharedRecord {
public:
    void Store(const HookRecord& record) noexcept {
        AcquireSRWLockExclusive(&lock_);
        record_ = record;
        ++version_;
        ReleaseSRWLockExclusive(&lock_);
    }

    HookRecord Load() noexcept {
        AcquireSRWLockShared(&lock_);
        const HookRecord record = record_;
        ReleaseSRWLockShared(&lock_);
        return record;
    }

    // Copies the record into `record` when it was stored since `version` (0: never taken), and
    // brings `version` up to date; false when nothing changed.
    bool TakeIfChanged(unsigned& version, HookRecord& record) noexcept {
        AcquireSRWLockShared(&lock_);
        const bool changed = version_ != version;
        if (changed) {
            record = record_;
            version = version_;
        }
        ReleaseSRWLockShared(&lock_);
        return changed;
    }

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
    HookRecord record_{};
    unsigned version_ = 0;
};

}  // namespace rivo
