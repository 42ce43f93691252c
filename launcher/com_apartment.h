// COM initialised apartment-threaded on the calling thread for the object's lifetime.
#pragma once

#include <windows.h>
#include <objbase.h>

namespace rivo {

class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComApartment() {
        // Only a successful initialisation (S_OK, or S_FALSE when the thread already had one) is
        // balanced; uninitialising after a failure would tear down the thread's apartment.
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    // RPC_E_CHANGED_MODE (the thread is multithreaded already) still leaves COM usable.
    bool Usable() const {
        return result_ != E_OUTOFMEMORY && result_ != E_INVALIDARG && result_ != E_UNEXPECTED;
    }

private:
    HRESULT result_;
};

}  // namespace rivo
