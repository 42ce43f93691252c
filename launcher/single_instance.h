// The named mutex that keeps a second launcher from running.
#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

namespace rivo {

class SingleInstance {
public:
    // Creates the mutex initially owned. Creation and the check are one step, so two launchers
    // started at the same instant cannot both pass.
    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    bool AnotherIsRunning() const { return anotherRunning_; }

private:
    platform::UniqueKernelHandle mutex_;
    bool anotherRunning_ = false;
    bool owned_ = false;
};

// Takes the current directory out of this process's DLL search order. Every launch changes the
// current directory, so a DLL planted there must never be loaded. Looked up at run time because
// systems without the KB2533623 update lack the function.
void RestrictDllSearchPath();

}  // namespace rivo
