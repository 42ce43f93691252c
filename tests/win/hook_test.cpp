// rivo.dll driven the way the launcher drives it: loaded by full path, hooked, given a record,
// then real key and mouse events injected with SendInput while this thread pumps messages, as
// the launcher's message loop would.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "hook/hook_record.h"
#include "platform/foreground.h"
#include "platform/unique_handle.h"
#include "tests/win/driver/keys.h"
#include "tests/win/driver/launcher_process.h"
#include "tests/win/driver/running_launcher.h"
#include "tests/win/driver/wait.h"

namespace rivo {
namespace {

constexpr WORD kShift = VK_SHIFT, kCtrl = VK_CONTROL;
// Ends every injected sequence: once this thread has received its key-up, the hook has seen
// all the events before it.
constexpr WORD kSentinel = VK_F24;

std::string LibraryPath() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string result(path, length);
    return result.substr(0, result.find_last_of('\\') + 1) + "rivo.dll";
}

struct HookLibrary {
    HookLibrary() : module(LoadLibraryA(LibraryPath().c_str())) {}
    HookLibrary(const HookLibrary&) = delete;
    HookLibrary& operator=(const HookLibrary&) = delete;
    ~HookLibrary() {
        if (module)
            FreeLibrary(module);
    }

    HMODULE module;
    SetHookFn setHook = LookUpHookExport<SetHookFn>(module, kSetHookExport);
    SetHandleFn setHandle = LookUpHookExport<SetHandleFn>(module, kSetHandleExport);
    ReleaseHookFn releaseHook = LookUpHookExport<ReleaseHookFn>(module, kReleaseHookExport);
};

// A top-level window that counts its activations.
class TestWindow {
public:
    explicit TestWindow(DWORD style, HWND owner = nullptr) {
        static const ATOM windowClass = [] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = &Procedure;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"RivoHookTestWindow";
            return RegisterClassW(&wc);
        }();
        handle_ = CreateWindowExW(0, MAKEINTATOM(windowClass), L"hook test", style, 100, 100, 200, 100, owner,
                                  nullptr, GetModuleHandleW(nullptr), this);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    ~TestWindow() {
        if (handle_)
            DestroyWindow(handle_);
    }

    HWND get() const { return handle_; }
    int activations() const { return activations_; }
    void ForgetActivations() { activations_ = 0; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE)
            ++self->activations_;
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND handle_ = nullptr;
    int activations_ = 0;
};

using Key = test::InjectedKey;  // VK_LBUTTON and VK_RBUTTON stand for the mouse buttons

bool IsButton(WORD vk) {
    return vk == VK_LBUTTON || vk == VK_RBUTTON;
}

std::vector<Key> Tap(std::vector<WORD> pressed) {  // pressed in order, released in reverse
    std::vector<Key> keys;
    for (WORD vk : pressed)
        keys.push_back({vk, true});
    for (auto it = pressed.rbegin(); it != pressed.rend(); ++it)
        keys.push_back({*it, false});
    return keys;
}

// Injects the keys followed by the sentinel and pumps until the sentinel has come through. A
// click lands on the foreground window, in the middle of its client area.
bool Press(std::vector<Key> keys) {
    for (const Key& key : keys) {
        RECT client = {};
        if (IsButton(key.vk) && GetClientRect(GetForegroundWindow(), &client)) {
            POINT middle{client.right / 2, client.bottom / 2};
            ClientToScreen(GetForegroundWindow(), &middle);
            SetCursorPos(middle.x, middle.y);
            break;
        }
    }
    return test::InjectAndSettle(std::move(keys), kSentinel);
}

// Returns once the library has done what the events so far made it do: the hook decides on its
// own thread and posts the call-up to its window on the thread that called SetHook, possibly
// after the sentinel has come through; a sentinel posted there now is handled after it.
bool Settle() {
    const HWND window = test::CallUpWindowOf(GetCurrentProcessId());
    return !window || test::PostedSentinelHandled(window, LoadIconW(nullptr, IDI_WARNING));
}

// Under Wine all programs of a prefix share one desktop, and with it the foreground window,
// injected input and low-level hooks: a test running beside this one would steal its keys and
// get them. A desktop of its own keeps this program apart. Windows injects input only into the
// desktop the user sees, so there the test stays where it is. Once per process, before this
// thread owns any window or hook; the desktop lives as long as the process.
bool UsePrivateDesktopUnderWine() {
    static const bool ready = [] {
        if (!test::UnderWine())
            return true;
        const std::string name = "RivoHookTest" + std::to_string(GetCurrentProcessId());
        const HDESK desktop = CreateDesktopA(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
        return desktop && SetThreadDesktop(desktop);
    }();
    return ready;
}

class HookTest : public ::testing::Test {
protected:
    // Shown windows live for the whole suite: under Wine without a window manager, hiding or
    // destroying a shown window waits seconds for an acknowledgement that never comes.
    static void SetUpTestSuite() {
        ASSERT_TRUE(UsePrivateDesktopUnderWine()) << "error " << GetLastError();
        main_ = std::make_unique<TestWindow>(WS_OVERLAPPEDWINDOW);  // never shown
        other_ = std::make_unique<TestWindow>(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    }
    static void TearDownTestSuite() {
        main_.reset();
        other_.reset();
    }

    void SetUp() override {
        ASSERT_NE(library_->module, nullptr) << LibraryPath() << " error " << GetLastError();
        ASSERT_TRUE(library_->setHook && library_->setHandle && library_->releaseHook);
        ASSERT_TRUE(main_ && other_ && main_->get() && other_->get());
        ASSERT_NO_FATAL_FAILURE(FocusOther());
        main_->ForgetActivations();
    }

    void TearDown() override {
        if (library_ && library_->module)
            library_->releaseHook();
    }

    static void FocusOther() {
        SetForegroundWindow(other_->get());
        ASSERT_TRUE(test::WaitUntil([] { return GetForegroundWindow() == other_->get(); }))
            << "the test cannot take the foreground";
    }

    static HookRecord Record(std::uint32_t key1, std::uint32_t key2, HWND target = main_->get()) {
        return {WindowToRecord(target), key1, key2, WindowToRecord(GetForegroundWindow())};
    }

    void Hook(std::uint32_t key1 = kShift, std::uint32_t key2 = kCtrl, HWND target = main_->get()) {
        library_->setHook();
        const HookRecord record = Record(key1, key2, target);
        library_->setHandle(&record);
    }

    // Presses the keys; true when that made the target the foreground window. The target's
    // activation is dispatched before this returns.
    static bool CallsUp(const std::vector<Key>& keys, HWND target = main_->get()) {
        const bool passed = Press(keys) && Settle();
        EXPECT_TRUE(passed) << "the injected keys did not come through";
        return passed && GetForegroundWindow() == target &&
               test::WaitUntil([target] { return GetActiveWindow() == target; });
    }

    static inline std::unique_ptr<TestWindow> main_;
    static inline std::unique_ptr<TestWindow> other_;
    std::unique_ptr<HookLibrary> library_ = std::make_unique<HookLibrary>();
};

struct ChordCase {
    const char* name;
    std::uint32_t key1;
    std::uint32_t key2;
    std::vector<Key> keys;
    bool callsUp;
};

class HookChords : public HookTest, public ::testing::WithParamInterface<ChordCase> {};

TEST_P(HookChords, CallUpOnlyOnTheChord) {
    const ChordCase& c = GetParam();
    Hook(c.key1, c.key2);
    EXPECT_EQ(CallsUp(c.keys), c.callsUp);
    EXPECT_EQ(main_->activations(), c.callsUp ? 1 : 0);
}

const Key kOwnUnlockDown{platform::kUnlockKey, true, platform::kOwnInputSignature};
const Key kOwnUnlockUp{platform::kUnlockKey, false, platform::kOwnInputSignature};

INSTANTIATE_TEST_SUITE_P(
    Keys, HookChords,
    ::testing::Values(
        ChordCase{"ShiftThenCtrl", kShift, kCtrl, Tap({kShift, kCtrl}), true},
        ChordCase{"CtrlThenShift", kShift, kCtrl, Tap({kCtrl, kShift}), true},
        ChordCase{"ReleasedInPressOrder",
                  kShift,
                  kCtrl,
                  {{kShift, true}, {kCtrl, true}, {kShift, false}, {kCtrl, false}},
                  true},
        ChordCase{"SidedCodes", kShift, kCtrl, Tap({VK_LSHIFT, VK_RCONTROL}), true},
        ChordCase{"CtrlShiftT", kShift, kCtrl, Tap({kCtrl, kShift, 'T'}), false},
        ChordCase{"ShiftAlone", kShift, kCtrl, Tap({kShift}), false},
        ChordCase{"OneAfterTheOther",
                  kShift,
                  kCtrl,
                  {{kShift, true}, {kShift, false}, {kCtrl, true}, {kCtrl, false}},
                  false},
        ChordCase{"OtherKeys", kCtrl, VK_F13, Tap({VK_F13, kCtrl}), true},
        ChordCase{"DefaultChordWithOtherKeys", kCtrl, VK_F13, Tap({kShift, kCtrl}), false},
        ChordCase{"SameKeyTwiceIsATap", kShift, kShift, Tap({kShift}), true},
        ChordCase{"SameKeyTwiceNotWhileTyping", kShift, kShift, Tap({kShift, 'A'}), false},
        ChordCase{
            "OwnUnlockKeyIsNotAnotherKey",
            kShift,
            kCtrl,
            {{kShift, true}, kOwnUnlockDown, kOwnUnlockUp, {kCtrl, true}, {kCtrl, false}, {kShift, false}},
            true},
        ChordCase{"CtrlShiftClick",
                  kShift,
                  kCtrl,
                  {{kCtrl, true},
                   {kShift, true},
                   {VK_LBUTTON, true},
                   {VK_LBUTTON, false},
                   {kShift, false},
                   {kCtrl, false}},
                  false},
        ChordCase{"CtrlShiftDrop",
                  kShift,
                  kCtrl,
                  {{VK_RBUTTON, true},
                   {kCtrl, true},
                   {kShift, true},
                   {VK_RBUTTON, false},
                   {kShift, false},
                   {kCtrl, false}},
                  false},
        ChordCase{"UnsignedUnlockKeyIsAnotherKey",
                  kShift,
                  kCtrl,
                  {{kShift, true},
                   {platform::kUnlockKey, true},
                   {platform::kUnlockKey, false},
                   {kCtrl, true},
                   {kCtrl, false},
                   {kShift, false}},
                  false}),
    [](const ::testing::TestParamInfo<ChordCase>& tested) { return std::string(tested.param.name); });

struct StartState {
    const char* name;
    int show;  // ShowWindow command for the main window before the chord; -1: never shown
};

class HookWindowStates : public HookTest, public ::testing::WithParamInterface<StartState> {};

TEST_P(HookWindowStates, MainWindowBecomesForegroundWhateverItsState) {
    TestWindow window(WS_OVERLAPPEDWINDOW);
    ASSERT_TRUE(window.get());
    if (GetParam().show >= 0)
        ShowWindow(window.get(), GetParam().show);
    ASSERT_NO_FATAL_FAILURE(FocusOther());
    Hook(kShift, kCtrl, window.get());
    EXPECT_TRUE(CallsUp(Tap({kShift, kCtrl}), window.get()));
    EXPECT_EQ(window.activations(), 1);
    // Showing is the launcher's business, on WM_ACTIVATE; the library leaves the window as it was.
    EXPECT_EQ(IsWindowVisible(window.get()) != FALSE, GetParam().show >= 0);
    EXPECT_EQ(IsIconic(window.get()) != FALSE, GetParam().show == SW_SHOWMINNOACTIVE);
}

INSTANTIATE_TEST_SUITE_P(States, HookWindowStates,
                         ::testing::Values(StartState{"Hidden", -1},
                                           StartState{"Minimised", SW_SHOWMINNOACTIVE},
                                           StartState{"ShownBehind", SW_SHOWNOACTIVATE}),
                         [](const ::testing::TestParamInfo<StartState>& tested) {
                             return std::string(tested.param.name);
                         });

TEST_F(HookTest, KeysChangedBySetHandleApplyAtOnce) {
    Hook();
    EXPECT_TRUE(CallsUp(Tap({kShift, kCtrl})));
    ASSERT_NO_FATAL_FAILURE(FocusOther());
    const HookRecord changed = Record(kCtrl, VK_F13);
    library_->setHandle(&changed);
    EXPECT_FALSE(CallsUp(Tap({kShift, kCtrl})));
    EXPECT_TRUE(CallsUp(Tap({kCtrl, VK_F13})));
}

// The chord in progress is forgotten with the old keys: its remaining key-ups complete nothing.
TEST_F(HookTest, SetHandleForgetsTheChordInProgress) {
    Hook();
    ASSERT_TRUE(Press({{kShift, true}, {kCtrl, true}}));
    const HookRecord same = Record(kShift, kCtrl);
    library_->setHandle(&same);
    EXPECT_FALSE(CallsUp({{kCtrl, false}, {kShift, false}}));
    EXPECT_TRUE(CallsUp(Tap({kShift, kCtrl})));
}

struct SetHandleJob {
    SetHandleFn setHandle;
    HookRecord record;
};

DWORD WINAPI RunSetHandle(void* parameter) {
    auto* job = static_cast<SetHandleJob*>(parameter);
    job->setHandle(&job->record);
    return 0;
}

TEST_F(HookTest, SetHandleFromAnotherThreadReachesTheHook) {
    Hook();
    SetHandleJob job{library_->setHandle, Record(kCtrl, VK_F13)};
    const platform::UniqueKernelHandle worker(CreateThread(nullptr, 0, &RunSetHandle, &job, 0, nullptr));
    ASSERT_TRUE(worker);
    // The hook has a thread of its own: the caller's thread need not pump for the record to arrive.
    ASSERT_EQ(WaitForSingleObject(worker.get(), test::Scaled(10000)), WAIT_OBJECT_0);
    EXPECT_FALSE(CallsUp(Tap({kShift, kCtrl})));
    EXPECT_TRUE(CallsUp(Tap({kCtrl, VK_F13})));
}

// The thread that called SetHook, as the launcher's window thread: it owns the window to call up,
// then stops dispatching messages (a launch, a save) until released, then runs again.
struct BlockedHost {
    HookLibrary* library;
    HDESK desktop;
    HANDLE hooked;   // set by the host once it is hooked and blocks
    HANDLE release;  // set by the test
    int activations = -1;
};

DWORD WINAPI RunBlockedHost(void* parameter) {
    auto& host = *static_cast<BlockedHost*>(parameter);
    if (!SetThreadDesktop(host.desktop))
        return 1;
    TestWindow window(WS_OVERLAPPEDWINDOW);
    host.library->setHook();
    const HookRecord record{WindowToRecord(window.get()), kShift, kCtrl, 0};
    host.library->setHandle(&record);
    SetEvent(host.hooked);
    WaitForSingleObject(host.release, INFINITE);
    test::WaitUntil([&] { return window.activations() > 0; });
    host.activations = window.activations();
    host.library->releaseHook();
    return 0;
}

// Every key in the system waits for the thread that runs the hook; Windows drops the hook when
// it waits too long. The launcher's window thread blocking must hold up neither the keys typed
// into another program nor the call-up, which it receives once it runs again.
TEST_F(HookTest, KeysPassAtOnceWhileTheHostThreadIsBlocked) {
    const platform::UniqueKernelHandle hooked(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    const platform::UniqueKernelHandle release(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    BlockedHost host{library_.get(), GetThreadDesktop(GetCurrentThreadId()), hooked.get(), release.get()};
    const platform::UniqueKernelHandle thread(CreateThread(nullptr, 0, &RunBlockedHost, &host, 0, nullptr));
    ASSERT_TRUE(hooked && release && thread);
    const HANDLE started[] = {hooked.get(), thread.get()};
    ASSERT_EQ(WaitForMultipleObjects(2, started, FALSE, test::Scaled(10000)), WAIT_OBJECT_0);

    LARGE_INTEGER frequency, before, after;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&before);
    const bool passed = Press(Tap({kCtrl}));  // into this thread's window, the foreground
    QueryPerformanceCounter(&after);
    // The call-up moves the foreground to the host: no sentinel would come through here.
    const bool injected = test::InjectKeys(Tap({kShift, kCtrl}));
    SetEvent(release.get());
    const bool ended = WaitForSingleObject(thread.get(), test::Scaled(20000)) == WAIT_OBJECT_0;

    const double ms = 1000.0 * static_cast<double>(after.QuadPart - before.QuadPart) /
                      static_cast<double>(frequency.QuadPart);
    std::printf("[   INFO   ] 4 key events passed in %.1f ms while the host thread was blocked\n", ms);
    EXPECT_TRUE(passed && injected) << "the injected keys did not come through";
    // Windows lets a hook keep every key waiting for 300 ms by default (Wine: 2 s).
    EXPECT_LT(ms, 200.0);
    ASSERT_TRUE(ended);
    EXPECT_EQ(host.activations, 1);
}

TEST_F(HookTest, ModalOwnerBringsItsDialogForward) {
    TestWindow owner(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    TestWindow dialog(WS_POPUP | WS_CAPTION | WS_VISIBLE, owner.get());
    ASSERT_TRUE(owner.get() && dialog.get());
    EnableWindow(owner.get(), FALSE);
    SetForegroundWindow(dialog.get());
    ASSERT_NO_FATAL_FAILURE(FocusOther());
    owner.ForgetActivations();
    Hook(kShift, kCtrl, owner.get());
    EXPECT_TRUE(CallsUp(Tap({kShift, kCtrl}), dialog.get()));
    EXPECT_EQ(owner.activations(), 0);
}

// The launcher's dialogs and boxes are owned by its hidden application window, which owns the
// main window too: the dialog is not a popup of the disabled main window, yet it comes forward.
TEST_F(HookTest, DialogOwnedByTheHiddenOwnerOfTheMainWindowComesForward) {
    TestWindow application(WS_POPUP);
    TestWindow main(WS_POPUP | WS_VISIBLE, application.get());
    TestWindow dialog(WS_POPUP | WS_CAPTION | WS_VISIBLE, application.get());
    ASSERT_TRUE(application.get() && main.get() && dialog.get());
    EnableWindow(application.get(), FALSE);
    EnableWindow(main.get(), FALSE);
    SetForegroundWindow(dialog.get());
    ASSERT_NO_FATAL_FAILURE(FocusOther());
    main.ForgetActivations();
    Hook(kShift, kCtrl, main.get());
    EXPECT_TRUE(CallsUp(Tap({kShift, kCtrl}), dialog.get()));
    EXPECT_EQ(main.activations(), 0);
}

TEST_F(HookTest, RecordGivenBeforeSetHookIsKept) {
    const HookRecord record = Record(kShift, kCtrl);
    library_->setHandle(&record);
    library_->setHook();
    EXPECT_TRUE(CallsUp(Tap({kShift, kCtrl})));
}

TEST_F(HookTest, NullRecordIsIgnored) {
    library_->setHandle(nullptr);
    Hook();
    library_->setHandle(nullptr);
    EXPECT_TRUE(CallsUp(Tap({kShift, kCtrl})));
}

TEST_F(HookTest, SetHookTwiceThenOneReleaseRemovesTheHook) {
    library_->setHook();
    Hook();
    EXPECT_TRUE(CallsUp(Tap({kShift, kCtrl})));
    ASSERT_NO_FATAL_FAILURE(FocusOther());
    library_->releaseHook();
    EXPECT_FALSE(CallsUp(Tap({kShift, kCtrl})));
    library_->releaseHook();
    EXPECT_FALSE(CallsUp(Tap({kShift, kCtrl})));
}

TEST_F(HookTest, ReleaseWithoutHookIsHarmlessAndHookingAgainWorks) {
    library_->releaseHook();
    library_->releaseHook();
    Hook();
    library_->releaseHook();
    EXPECT_FALSE(CallsUp(Tap({kShift, kCtrl})));
    library_->setHook();  // the record survives a release
    EXPECT_TRUE(CallsUp(Tap({kShift, kCtrl})));
}

TEST_F(HookTest, NoWindowToCallUpIsHarmless) {
    Hook();
    HookRecord none = Record(kShift, kCtrl);
    none.MainWindow = 0;
    library_->setHandle(&none);
    EXPECT_FALSE(CallsUp(Tap({kShift, kCtrl})));
    EXPECT_EQ(GetForegroundWindow(), other_->get());

    HWND gone =
        CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(gone);
    DestroyWindow(gone);
    HookRecord destroyed = Record(kShift, kCtrl);
    destroyed.MainWindow = WindowToRecord(gone);
    library_->setHandle(&destroyed);
    EXPECT_FALSE(CallsUp(Tap({kShift, kCtrl})));
    EXPECT_EQ(GetForegroundWindow(), other_->get());
}

// Unloading the library must take its hook along: on Windows the next key would otherwise call
// code that is no longer mapped and bring this process down. Wine looks a hook procedure up by
// its module on every call and survives a stale hook; there the test shows the unload is clean.
TEST_F(HookTest, FreeLibraryWithoutReleaseHookTakesTheHookAlong) {
    Hook();
    library_.reset();
    ASSERT_EQ(GetModuleHandleA(LibraryPath().c_str()), nullptr);
    EXPECT_FALSE(CallsUp(Tap({kShift, kCtrl})));
    EXPECT_EQ(main_->activations(), 0);
    EXPECT_EQ(GetModuleHandleA(LibraryPath().c_str()), nullptr);
}

}  // namespace
}  // namespace rivo
