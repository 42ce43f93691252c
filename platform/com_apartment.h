// COM initialised apartment-threaded on the calling thread for the object's lifetime: the shell's
// objects (shortcuts, the extensions ShellExecute may hand a start to) expect that apartment.
#pragma once

#include <windows.h>
#include <objbase.h>

namespace rivo::platform {

class ComApartment {
public:
    ComApartment() noexcept
        : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComApartment() {
        // Only a successful initialisation (S_OK, or S_FALSE when the thread already had one) is
        // balanced: uninitialising after a failure would tear down the apartment someone else set up.
        if (SUCCEEDED(result_))
            ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    // COM can be used on this thread: initialised here, or already in the multithreaded
    // apartment (RPC_E_CHANGED_MODE), which serves an in-process object just as well.
    bool Usable() const noexcept {
        return result_ != E_OUTOFMEMORY && result_ != E_INVALIDARG && result_ != E_UNEXPECTED;
    }

private:
    HRESULT result_;
};

}  // namespace rivo::platform
