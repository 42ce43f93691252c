// Ownership helpers and the Win32 error text.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/com_apartment.h"
#include "platform/unique_handle.h"
#include "platform/win32_error.h"

namespace rivo::platform {
namespace {

std::vector<int> closedHandles;

struct CountingTraits {
    static int Invalid() noexcept { return 0; }
    static void Close(int handle) noexcept { closedHandles.push_back(handle); }
};
using CountingHandle = UniqueHandle<int, CountingTraits>;

struct OwnershipCase {
    const char* name;
    std::function<void()> run;
    std::vector<int> closed;  // handles closed, in order, once `run` has returned
};

TEST(UniqueHandle, EachHandleIsClosedExactlyOnce) {
    const OwnershipCase cases[] = {
        {"destruction closes", [] { CountingHandle h(1); }, {1}},
        {"empty closes nothing", [] { CountingHandle h; }, {}},
        {"move construction hands over",
         [] {
             CountingHandle a(2);
             CountingHandle b(std::move(a));
             EXPECT_FALSE(a);
             EXPECT_EQ(b.get(), 2);
         },
         {2}},
        {"move assignment closes the old target first",
         [] {
             CountingHandle a(3);
             CountingHandle b(4);
             b = std::move(a);
             EXPECT_EQ(closedHandles, std::vector<int>{4});
         },
         {4, 3}},
        {"self move keeps the handle",
         [] {
             CountingHandle a(5);
             CountingHandle& alias = a;
             a = std::move(alias);
             EXPECT_EQ(a.get(), 5);
         },
         {5}},
        {"release gives it up",
         [] {
             CountingHandle a(6);
             EXPECT_EQ(a.release(), 6);
             EXPECT_FALSE(a);
         },
         {}},
        {"reset closes the old one",
         [] {
             CountingHandle a(7);
             a.reset(8);
             EXPECT_EQ(a.get(), 8);
         },
         {7, 8}},
        {"reset to the same handle does not close it",
         [] {
             CountingHandle a(9);
             a.reset(9);
         },
         {9}},
    };
    for (const auto& c : cases) {
        closedHandles.clear();
        c.run();
        EXPECT_EQ(closedHandles, c.closed) << c.name;
    }
}

TEST(UniqueHandle, KernelHandleIsReallyClosed) {
    HANDLE raw = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(raw, nullptr);
    {
        UniqueKernelHandle event(raw);
        DWORD flags = 0;
        EXPECT_TRUE(::GetHandleInformation(raw, &flags));
    }
    DWORD flags = 0;
    EXPECT_FALSE(::GetHandleInformation(raw, &flags));
}

LRESULT CALLBACK PassKeyOn(int code, WPARAM message, LPARAM data) noexcept {
    return ::CallNextHookEx(nullptr, code, message, data);
}

// The hook library holds its window and its hook in these owners: a reset to the handle already
// held must neither destroy the window nor remove the hook (and so not close it twice later).
TEST(UniqueHandle, WindowAndHookResetToThemselvesStayUntilTheOwnerEnds) {
    const HWND rawWindow =
        ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(rawWindow, nullptr);
    {
        UniqueWindow window(rawWindow);
        window.reset(rawWindow);
        EXPECT_TRUE(::IsWindow(rawWindow));
    }
    EXPECT_FALSE(::IsWindow(rawWindow));

    const HHOOK rawHook = ::SetWindowsHookExA(WH_KEYBOARD_LL, PassKeyOn, ::GetModuleHandleA(nullptr), 0);
    ASSERT_NE(rawHook, nullptr);
    UniqueHook hook(rawHook);
    hook.reset(rawHook);
    EXPECT_TRUE(::UnhookWindowsHookEx(hook.release())) << "the reset removed the hook";
}

TEST(UniqueHandle, FileHandleTreatsInvalidHandleValueAsEmpty) {
    UniqueFile missing(
        ::CreateFileA("Z:\\rivo-no-such-dir\\x.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing);
    UniqueFile file(::CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(file);
}

TEST(ScopeExit, RunsOnceUnlessDismissed) {
    int runs = 0;
    {
        ScopeExit guard([&runs] { ++runs; });
    }
    EXPECT_EQ(runs, 1);
    {
        ScopeExit guard([&runs] { ++runs; });
        guard.Dismiss();
    }
    EXPECT_EQ(runs, 1);
    {
        ScopeExit first([&runs] { ++runs; });
        ScopeExit second(std::move(first));
    }
    EXPECT_EQ(runs, 2);
}

TEST(SelectedObject, TheReplacedObjectIsSelectedAgain) {
    const UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    const HGDIOBJ before = ::GetCurrentObject(dc.get(), OBJ_FONT);
    const UniqueFont font(
        ::CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
    ASSERT_TRUE(font);
    {
        const SelectedObject selected(dc.get(), font.get());
        EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_FONT), font.get());
    }
    EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_FONT), before);
}

// On a thread of its own: the test program's main thread may have COM initialised already.
TEST(ComApartment, BalancesOnlyTheInitialisationItMade) {
    std::thread([] {
        {
            const ComApartment com;
            EXPECT_TRUE(com.Usable());
        }
        EXPECT_EQ(::CoInitialize(nullptr), S_OK) << "the owner left COM initialised";
        ::CoUninitialize();

        // A thread in the multithreaded apartment: usable, and the apartment outlives the owner.
        ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        {
            const ComApartment com;
            EXPECT_TRUE(com.Usable());
        }
        EXPECT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE)
            << "the owner ended the apartment";
        ::CoUninitialize();
        ::CoUninitialize();
    }).join();
}

// A COM object that counts its references.
class FakeObject : public IUnknown {
public:
    ULONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!IsEqualIID(iid, IID_IUnknown)) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<IUnknown*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

TEST(ComPtr, KeepsTheReferenceCountBalanced) {
    FakeObject a;
    FakeObject b;
    {
        ComPtr<IUnknown> first(&a);
        ComPtr<IUnknown> second(std::move(first));
        EXPECT_EQ(a.refs, 1u) << "a move does not add a reference";
        EXPECT_FALSE(first);

        ComPtr<IUnknown> other;
        EXPECT_EQ(second.As(IID_IUnknown, other), S_OK);
        EXPECT_EQ(a.refs, 2u);
        EXPECT_EQ(second.As(IID_IClassFactory, other), E_NOINTERFACE);
        EXPECT_EQ(a.refs, 1u) << "put() dropped the reference `other` held";

        b.AddRef();
        *second.put() = &b;
        EXPECT_EQ(a.refs, 0u);
        EXPECT_EQ(b.refs, 2u);
    }
    EXPECT_EQ(b.refs, 1u);
}

TEST(Win32ErrorText, NamesTheFunctionAndGivesTheSystemText) {
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    const std::string fromLastError = Win32ErrorText("CreateFileA");
    EXPECT_EQ(fromLastError, Win32ErrorText("CreateFileA", ERROR_FILE_NOT_FOUND));
    ASSERT_GT(fromLastError.size(), std::string("CreateFileA: ").size());
    EXPECT_EQ(fromLastError.rfind("CreateFileA: ", 0), 0u);
    EXPECT_NE(fromLastError.back(), '\n');
    EXPECT_NE(fromLastError.back(), '\r');
    EXPECT_NE(Win32ErrorText("CreateFileA", ERROR_ACCESS_DENIED), fromLastError);

    // A code the system has no text for.
    EXPECT_EQ(Win32ErrorText("Foo", 0x2000ABCD), "Foo: error 536914893");

    const Win32Error error("LoadLibraryA", ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(error.Code(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(std::string(error.what()), Win32ErrorText("LoadLibraryA", ERROR_MOD_NOT_FOUND));
}

}  // namespace
}  // namespace rivo::platform
