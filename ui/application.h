// The application object: its title, the forms it owns, its hidden owner window, the message
// loop and the message and error boxes. One exists at a time, reached through Application().
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/unique_handle.h"
#include "ui/form.h"

namespace rivo::ui {

class TApplication {
public:
    // Throws std::logic_error when another application object exists.
    TApplication();
    // Destroys its forms, newest first (their OnDestroy runs), then its own window.
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // The caption of the error box.
    const std::string& Title() const noexcept { return title_; }
    void SetTitle(const std::string& title);

    // The hidden window that owns every form: owned windows get no taskbar button.
    HWND Handle() const noexcept { return window_.get(); }
    void HideWindow();

    // Creates a form owned by the application; the first one becomes the main form, already
    // when its OnCreate runs.
    template <class T, class... Args>
    T& CreateForm(Args&&... args) {
        auto form = std::make_unique<T>(std::forward<Args>(args)...);
        T& result = *form;
        forms_.push_back(FormPtr<TForm>(form.release()));
        if (!mainForm_)
            mainForm_ = &result;
        result.FireCreate();
        return result;
    }
    TForm* MainForm() const noexcept { return mainForm_; }
    bool IsMainForm(const TForm* form) const noexcept { return form && form == mainForm_; }

    // Whether Run() shows the main form before it starts the loop (true by default).
    void SetShowMainForm(bool show) noexcept { showMainForm_ = show; }
    bool ShowMainForm() const noexcept { return showMainForm_; }

    // Runs the message loop until the main form is closed or Terminate() is called.
    void Run();
    // Waits for one message and handles it; false when the loop is to end (WM_QUIT).
    bool HandleMessage();
    // Handles every message already queued, without waiting.
    void ProcessMessages();
    void Terminate() noexcept;
    bool Terminated() const noexcept { return terminated_; }

    // A message box owned by the application's window, the thread's windows disabled while it
    // is open; returns the button pressed (IDOK, IDCANCEL, IDYES, IDNO, ...). Texts are code
    // page 932.
    int MessageBox(const std::string& text, const std::string& caption, UINT flags);
    // The error box for an exception that escaped: its text, the title as caption, a stop icon.
    void ShowException(const std::string& text) noexcept;
    // ShowException for the exception being handled; call only inside a catch block.
    void ShowCurrentException() noexcept;

    // The system DPI (LOGPIXELSY of the screen): the layouts' DPI where Windows does not scale
    // per monitor (ui/window_dpi.h); SetDpi affects forms created afterwards.
    int Dpi() const noexcept { return dpi_; }
    void SetDpi(int dpi) noexcept { dpi_ = dpi; }

    // Forms register themselves so the loop can route a message to the form it belongs to.
    void AddForm(TForm* form);
    void RemoveForm(TForm* form) noexcept;
    TForm* FormOfWindow(HWND window) const noexcept;

    void DestroyForms() noexcept;

private:
    void Dispatch(MSG& msg);
    int ModalMessageBox(const std::string& text, const std::string& caption, UINT flags) noexcept;

    std::string title_;
    platform::UniqueWindow window_;
    std::vector<FormPtr<TForm>> forms_;
    std::vector<TForm*> liveForms_;
    TForm* mainForm_ = nullptr;
    bool showMainForm_ = true;
    bool terminated_ = false;
    bool running_ = false;
    int dpi_ = 96;
};

// The application object that exists now; throws std::logic_error when there is none.
TApplication& Application();
// Null when there is none (for code that must not throw, such as window procedures).
TApplication* ApplicationOrNull() noexcept;

}  // namespace rivo::ui
