// Move-only ownership of one Win32 handle, closed by the given function.
#pragma once

#include <windows.h>

#include <utility>

namespace rivo {

template <typename Handle, typename Closer>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

    Handle release() { return std::exchange(handle_, nullptr); }
    void reset(Handle handle = nullptr) {
        if (Handle old = std::exchange(handle_, handle))
            Closer{}(old);
    }

private:
    Handle handle_ = nullptr;
};

struct HookCloser {
    void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};
struct WindowCloser {
    void operator()(HWND window) const { DestroyWindow(window); }
};

using UniqueHook = UniqueHandle<HHOOK, HookCloser>;
using UniqueWindow = UniqueHandle<HWND, WindowCloser>;

}  // namespace rivo
