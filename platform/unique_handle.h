// Ownership of the Win32 handles and COM objects the launcher holds: one move-only owner type,
// so a handle is released exactly once on every path.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <unknwn.h>

#include <utility>

namespace rivo::platform {

// Traits: `Invalid()` is the value meaning "nothing held", `Close(h)` releases a held handle.
template <class T, class Traits>
class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(T handle) noexcept : handle_(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    T get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::Invalid(); }

    // Gives up ownership without closing; the caller now owns the handle.
    T release() noexcept { return std::exchange(handle_, Traits::Invalid()); }

    void reset(T handle = Traits::Invalid()) noexcept {
        T old = std::exchange(handle_, handle);
        if (old != Traits::Invalid() && old != handle)
            Traits::Close(old);
    }

private:
    T handle_ = Traits::Invalid();
};

namespace handle_traits {

template <class T, auto CloseFunction>
struct NullInvalid {
    static T Invalid() noexcept { return nullptr; }
    static void Close(T handle) noexcept { CloseFunction(handle); }
};

// CreateFile reports failure with INVALID_HANDLE_VALUE rather than null.
struct File {
    static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) noexcept { ::CloseHandle(handle); }
};

}  // namespace handle_traits

using UniqueWindow = UniqueHandle<HWND, handle_traits::NullInvalid<HWND, ::DestroyWindow>>;
using UniqueIcon = UniqueHandle<HICON, handle_traits::NullInvalid<HICON, ::DestroyIcon>>;
using UniqueMenu = UniqueHandle<HMENU, handle_traits::NullInvalid<HMENU, ::DestroyMenu>>;
using UniqueHook = UniqueHandle<HHOOK, handle_traits::NullInvalid<HHOOK, ::UnhookWindowsHookEx>>;
using UniqueModule = UniqueHandle<HMODULE, handle_traits::NullInvalid<HMODULE, ::FreeLibrary>>;
// Mutexes, events, threads, processes: everything CloseHandle releases that uses null for "none".
using UniqueKernelHandle = UniqueHandle<HANDLE, handle_traits::NullInvalid<HANDLE, ::CloseHandle>>;
using UniqueFile = UniqueHandle<HANDLE, handle_traits::File>;
using UniqueGdiObject = UniqueHandle<HGDIOBJ, handle_traits::NullInvalid<HGDIOBJ, ::DeleteObject>>;
using UniqueFont = UniqueHandle<HFONT, handle_traits::NullInvalid<HFONT, ::DeleteObject>>;
using UniqueBrush = UniqueHandle<HBRUSH, handle_traits::NullInvalid<HBRUSH, ::DeleteObject>>;
using UniquePen = UniqueHandle<HPEN, handle_traits::NullInvalid<HPEN, ::DeleteObject>>;
using UniqueBitmap = UniqueHandle<HBITMAP, handle_traits::NullInvalid<HBITMAP, ::DeleteObject>>;
// Memory device contexts from CreateCompatibleDC (a window's DC is a WindowDC, below).
using UniqueMemoryDC = UniqueHandle<HDC, handle_traits::NullInvalid<HDC, ::DeleteDC>>;

// A window's device context from GetDC, given back with ReleaseDC (which needs the window too).
class WindowDC {
public:
    // `window` null: the screen's DC.
    explicit WindowDC(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
    ~WindowDC() {
        if (dc_)
            ::ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a DC for a scope; the one it replaced is selected again at the end, so
// the DC never keeps an object that its owner deletes.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(::SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (old_ && old_ != HGDI_ERROR)
            ::SelectObject(dc_, old_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Runs `f` when the scope is left, unless dismissed.
template <class F>
class ScopeExit {
public:
    explicit ScopeExit(F f) noexcept : f_(std::move(f)) {}
    ~ScopeExit() {
        if (active_)
            f_();
    }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ScopeExit(ScopeExit&& other) noexcept
        : f_(std::move(other.f_)), active_(std::exchange(other.active_, false)) {}
    ScopeExit& operator=(ScopeExit&&) = delete;

    void Dismiss() noexcept { active_ = false; }

private:
    F f_;
    bool active_ = true;
};

// Owns one reference to a COM object; move-only like the handles.
template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    // Takes over a reference the caller already owns (no AddRef).
    explicit ComPtr(T* owned) noexcept : ptr_(owned) {}
    ~ComPtr() { reset(); }

    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other)
            reset(std::exchange(other.ptr_, nullptr));
        return *this;
    }

    T* get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }

    // For out-parameters (CoCreateInstance, QueryInterface): drops the current reference first.
    T** put() noexcept {
        reset();
        return &ptr_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    void reset(T* owned = nullptr) noexcept {
        T* old = std::exchange(ptr_, owned);
        if (old)
            old->Release();
    }

    // QueryInterface for another interface of the same object.
    template <class U>
    HRESULT As(REFIID iid, ComPtr<U>& out) const noexcept {
        if (!ptr_)
            return E_POINTER;
        return ptr_->QueryInterface(iid, out.put_void());
    }

private:
    T* ptr_ = nullptr;
};

}  // namespace rivo::platform
