#include "ui/window_dpi.h"

#include "core/dpi_scale.h"

namespace rivo::ui {

namespace {

// DPI_AWARENESS_CONTEXT and DPI_AWARENESS, declared here: older headers lack them.
using AwarenessContext = HANDLE;
constexpr int kPerMonitorAware = 2;  // DPI_AWARENESS_PER_MONITOR_AWARE (v1 and v2)

struct PerMonitorFunctions {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    using GetWindowContextFn = AwarenessContext(WINAPI*)(HWND);
    using GetAwarenessFn = int(WINAPI*)(AwarenessContext);

    GetDpiForWindowFn getDpiForWindow = nullptr;
    GetWindowContextFn getWindowContext = nullptr;
    GetAwarenessFn getAwareness = nullptr;

    PerMonitorFunctions() {
        // user32 is loaded for the whole run: no reference needs to be held.
        const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
        if (!user32)
            return;
        getDpiForWindow = Find<GetDpiForWindowFn>(user32, "GetDpiForWindow");
        getWindowContext = Find<GetWindowContextFn>(user32, "GetWindowDpiAwarenessContext");
        getAwareness = Find<GetAwarenessFn>(user32, "GetAwarenessFromDpiAwarenessContext");
    }

    bool Complete() const noexcept { return getDpiForWindow && getWindowContext && getAwareness; }

    template <class Fn>
    static Fn Find(HMODULE module, const char* name) {
        return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
    }
};

}  // namespace

int LayoutDpiOfWindow(HWND window, int systemDpi) noexcept {
    static const PerMonitorFunctions functions;
    WindowDpiFacts facts;
    facts.systemDpi = systemDpi;
    if (window && functions.Complete()) {
        facts.perMonitorAware =
            functions.getAwareness(functions.getWindowContext(window)) == kPerMonitorAware;
        facts.windowDpi = static_cast<int>(functions.getDpiForWindow(window));
    }
    return LayoutDpiFor(facts);
}

}  // namespace rivo::ui
