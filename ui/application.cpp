#include "ui/application.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "platform/wide_text.h"
#include "platform/win32_error.h"
#include "platform/window_text.h"
#include "ui/disabled_thread_windows.h"

namespace rivo::ui {

namespace {

TApplication* current = nullptr;

constexpr wchar_t kWindowClass[] = L"RivoApplication";

LRESULT CALLBACK ApplicationWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void RegisterWindowClass() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    if (::GetClassInfoExW(instance, kWindowClass, &windowClass))
        return;
    windowClass.lpfnWndProc = ApplicationWndProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    if (!::RegisterClassExW(&windowClass))
        throw platform::Win32Error("RegisterClassExW");
}

int ScreenDpi() {
    const platform::WindowDC screen(nullptr);
    if (!screen)
        return 96;
    const int dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? dpi : 96;
}

}  // namespace

TApplication& Application() {
    if (!current)
        throw std::logic_error("no application object");
    return *current;
}

TApplication* ApplicationOrNull() noexcept {
    return current;
}

TApplication::TApplication() : dpi_(ScreenDpi()) {
    if (current)
        throw std::logic_error("an application object exists already");
    RegisterWindowClass();
    // A zero-size popup: never shown by us, it owns the forms so that none of them gets a
    // taskbar button of its own.
    window_.reset(::CreateWindowExW(0, kWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr));
    if (!window_)
        throw platform::Win32Error("CreateWindowExW");
    current = this;
}

TApplication::~TApplication() {
    DestroyForms();
    window_.reset();
    current = nullptr;
}

void TApplication::SetTitle(const std::string& title) {
    title_ = title;
    platform::SetText(window_.get(), title_);
}

void TApplication::HideWindow() {
    ::ShowWindow(window_.get(), SW_HIDE);
}

void TApplication::Run() {
    if (!mainForm_)
        throw std::logic_error("Run without a main form");
    if (terminated_)
        return;
    if (showMainForm_)
        mainForm_->Show();
    running_ = true;
    platform::ScopeExit notRunning([this] { running_ = false; });
    while (!terminated_ && HandleMessage()) {
    }
    // Terminate() inside a handler ends the loop before its WM_QUIT is fetched; left queued, it
    // would close at once every message box shown while the forms are destroyed.
    MSG quit;
    ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

bool TApplication::HandleMessage() {
    MSG msg;
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1)
        throw platform::Win32Error("GetMessageW");
    if (got == 0) {
        terminated_ = true;
        return false;
    }
    Dispatch(msg);
    return true;
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            return;
        }
        Dispatch(msg);
    }
}

void TApplication::Dispatch(MSG& msg) {
    if (TForm* form = FormOfWindow(msg.hwnd)) {
        if (form->PreTranslateMessage(msg))
            return;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

void TApplication::Terminate() noexcept {
    terminated_ = true;
    // Posted only while the loop runs: a WM_QUIT left in the queue afterwards would close the
    // next message box at once (the box's own loop ends on it), e.g. one shown by an OnDestroy.
    if (running_)
        ::PostQuitMessage(0);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
    return ModalMessageBox(text, caption, flags);
}

void TApplication::ShowException(const std::string& text) noexcept {
    ModalMessageBox(text, title_, MB_OK | MB_ICONSTOP);
}

int TApplication::ModalMessageBox(const std::string& text, const std::string& caption, UINT flags) noexcept {
    // Owned by the hidden application window, never by the window that is active: Windows hides
    // what a minimised window owns, and the launcher window minimises or hides itself as soon as
    // the box takes the activation, which would leave the box open unseen, blocking the launcher.
    // The box disables only its owner, so the thread's windows are disabled as ShowModal does:
    // the launcher window takes no keys while a box is open.
    const HWND previouslyActive = ::GetActiveWindow();
    const bool giveBack = TakesActivationBackAfterModal(previouslyActive);
    int answer = 0;
    {
        const DisabledThreadWindows disabled;
        answer = ::MessageBoxW(window_.get(), platform::Wide(text).c_str(), platform::Wide(caption).c_str(),
                               flags);
    }
    // The hidden owner cannot take the activation back when the box goes; the window that had it
    // gets it, as it would from an owner of its own.
    if (giveBack && ::IsWindow(previouslyActive) && ::IsWindowVisible(previouslyActive) &&
        ::IsWindowEnabled(previouslyActive) && ::GetActiveWindow() != previouslyActive)
        ::SetActiveWindow(previouslyActive);
    return answer;
}

void TApplication::ShowCurrentException() noexcept {
    try {
        throw;
    } catch (const std::exception& error) {
        ShowException(error.what());
    } catch (...) {
        ShowException("Unknown exception");
    }
}

void TApplication::AddForm(TForm* form) {
    liveForms_.push_back(form);
}

void TApplication::RemoveForm(TForm* form) noexcept {
    std::erase(liveForms_, form);
    if (mainForm_ == form)
        mainForm_ = nullptr;
}

TForm* TApplication::FormOfWindow(HWND window) const noexcept {
    if (!window)
        return nullptr;
    HWND root = ::GetAncestor(window, GA_ROOT);
    for (TForm* form : liveForms_) {
        if (form->Handle() && form->Handle() == root)
            return form;
    }
    return nullptr;
}

void TApplication::DestroyForms() noexcept {
    while (!forms_.empty()) {
        // Taken out of the list first so that an OnDestroy that looks at the forms sees a
        // consistent list.
        FormPtr<TForm> newest = std::move(forms_.back());
        forms_.pop_back();
        newest.reset();
    }
}

}  // namespace rivo::ui
