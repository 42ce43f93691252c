// The resources linked into rivo.exe, read back from this test executable, which links the same
// object: icon order and pictures, the version resource, the manifest's effect.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/unique_handle.h"

namespace rivo::ui {
namespace {

constexpr int kSide = 32;
using Pixels = std::vector<COLORREF>;  // kSide x kSide, top row first

std::string OwnPath() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

Pixels PixelsOfIcon(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info))
        return {};
    platform::UniqueBitmap color(info.hbmColor);
    platform::UniqueBitmap mask(info.hbmMask);
    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof request.bmiHeader;
    request.bmiHeader.biWidth = kSide;
    request.bmiHeader.biHeight = -kSide;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> bgra(kSide * kSide);
    HDC screen = ::GetDC(nullptr);
    const int rows = ::GetDIBits(screen, color.get(), 0, kSide, bgra.data(), &request, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (rows != kSide)
        return {};
    Pixels pixels;
    for (uint32_t p : bgra)
        pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    return pixels;
}

// Decodes one of the committed 32x32 4-bit .ico files.
Pixels PixelsOfIcoFile(const std::string& name) {
    std::ifstream in(std::string(RIVO_SOURCE_DIR) + "/resources/" + name, std::ios::binary);
    const std::vector<unsigned char> file((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    if (file.size() < 22 + 40 + 64 + 512)
        return {};
    auto u32 = [&file](size_t at) {
        return static_cast<uint32_t>(file[at] | file[at + 1] << 8 | file[at + 2] << 16 | file[at + 3] << 24);
    };
    const size_t image = u32(6 + 12);
    const size_t palette = image + u32(image);
    const size_t bits = palette + 16 * 4;
    Pixels pixels(kSide * kSide);
    for (int row = 0; row < kSide; ++row) {
        for (int x = 0; x < kSide; ++x) {
            const unsigned char byte = file[bits + (kSide - 1 - row) * (kSide / 2) + x / 2];
            const int index = x % 2 == 0 ? byte >> 4 : byte & 0x0F;
            const size_t entry = palette + 4 * index;
            pixels[row * kSide + x] = RGB(file[entry + 2], file[entry + 1], file[entry]);
        }
    }
    return pixels;
}

int Count(const Pixels& pixels, COLORREF colour, int left, int top, int right, int bottom) {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x)
            count += pixels[y * kSide + x] == colour;
    }
    return count;
}

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

TEST(Icons, ExtractIconNumbersFollowTheResourceOrder) {
    const std::string path = OwnPath();
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(::ExtractIconA(nullptr, path.c_str(), static_cast<UINT>(-1))), 3u);

    const Pixels plainFile = PixelsOfIcoFile("icon_plain.ico");
    const Pixels crossedFile = PixelsOfIcoFile("icon_crossed.ico");
    ASSERT_EQ(plainFile.size(), size_t{kSide * kSide});
    ASSERT_EQ(crossedFile.size(), size_t{kSide * kSide});
    const Pixels* expected[] = {&plainFile, &crossedFile, &plainFile};  // ICON1, ICON2, MAINICON
    for (UINT index = 0; index < 3; ++index) {
        platform::UniqueIcon icon(::ExtractIconA(nullptr, path.c_str(), index));
        ASSERT_TRUE(icon) << index;
        EXPECT_EQ(PixelsOfIcon(icon.get()), *expected[index]) << "icon number " << index;
    }
}

TEST(Icons, PlainIsACheckerboardWithTheGlyphAndCrossedAddsARedX) {
    const Pixels plain = PixelsOfIcoFile("icon_plain.ico");
    const Pixels crossed = PixelsOfIcoFile("icon_crossed.ico");
    ASSERT_EQ(plain.size(), size_t{kSide * kSide});
    struct Square {
        int left, top;
        COLORREF ground, ink;
    };
    const Square squares[] = {
        {0, 0, kBlack, kWhite}, {16, 0, kWhite, kBlack}, {0, 16, kWhite, kBlack}, {16, 16, kBlack, kWhite}};
    for (const auto& s : squares) {
        const int ground = Count(plain, s.ground, s.left, s.top, s.left + 16, s.top + 16);
        const int ink = Count(plain, s.ink, s.left, s.top, s.left + 16, s.top + 16);
        EXPECT_EQ(ground + ink, 256) << "only black and white";
        EXPECT_GT(ink, 40) << "the glyph is there";
        EXPECT_GT(ground, ink) << "the square is its own colour";
        EXPECT_EQ(plain[(s.top) * kSide + s.left], s.ground) << "corner of the square";
    }
    // The four squares bear the same glyph, each in the opposite colour.
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const bool inkTopLeft = plain[y * kSide + x] == kWhite;
            EXPECT_EQ(plain[y * kSide + x + 16] == kBlack, inkTopLeft);
            EXPECT_EQ(plain[(y + 16) * kSide + x] == kBlack, inkTopLeft);
            EXPECT_EQ(plain[(y + 16) * kSide + x + 16] == kWhite, inkTopLeft);
        }
    }

    EXPECT_EQ(Count(plain, kRed, 0, 0, kSide, kSide), 0);
    for (int i = 0; i < kSide; ++i) {
        EXPECT_EQ(crossed[i * kSide + i], kRed) << "main diagonal " << i;
        EXPECT_EQ(crossed[i * kSide + (kSide - 1 - i)], kRed) << "other diagonal " << i;
    }
    for (int i = 0; i < kSide * kSide; ++i) {
        if (crossed[i] != kRed) {
            EXPECT_EQ(crossed[i], plain[i]) << "off the X the pictures agree, pixel " << i;
        }
    }
}

BOOL CALLBACK AddResourceName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR out) {
    // The names are ASCII.
    reinterpret_cast<std::vector<std::string>*>(out)->push_back(
        IS_INTRESOURCE(name) ? "#" : std::string(name, name + std::wcslen(name)));
    return TRUE;
}

TEST(Icons, GroupIconsAreNamedInOrder) {
    std::vector<std::string> names;
    ::EnumResourceNamesW(nullptr, RT_GROUP_ICON, AddResourceName, reinterpret_cast<LONG_PTR>(&names));
    EXPECT_EQ(names, (std::vector<std::string>{"ICON1", "ICON2", "MAINICON"}));
}

class VersionInfo {
public:
    VersionInfo() {
        const std::string path = OwnPath();
        DWORD ignored = 0;
        data_.resize(::GetFileVersionInfoSizeA(path.c_str(), &ignored));
        if (!data_.empty() &&
            !::GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(data_.size()), data_.data())) {
            data_.clear();
        }
    }
    bool Loaded() const { return !data_.empty(); }
    template <class T>
    const T* Query(const char* block, UINT& length) {
        void* value = nullptr;
        length = 0;
        if (!::VerQueryValueA(data_.data(), block, &value, &length))
            return nullptr;
        return static_cast<const T*>(value);
    }

private:
    std::vector<char> data_;
};

TEST(VersionResource, FixedPartAndTranslation) {
    VersionInfo info;
    ASSERT_TRUE(info.Loaded());
    UINT length = 0;
    const auto* fixed = info.Query<VS_FIXEDFILEINFO>("\\", length);
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(RIVO_VERSION_MINOR, RIVO_VERSION_MAJOR)));
    EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(RIVO_VERSION_TWEAK, RIVO_VERSION_PATCH)));
    EXPECT_EQ(fixed->dwProductVersionMS,
              static_cast<DWORD>(MAKELONG(RIVO_VERSION_MINOR, RIVO_VERSION_MAJOR)));
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    const auto* translation = info.Query<WORD>("\\VarFileInfo\\Translation", length);
    ASSERT_NE(translation, nullptr);
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 932);
}

TEST(VersionResource, StringsReadBackInCodePage932AndUtf16) {
    struct StringCase {
        const char* key;
        std::string cp932;
        std::wstring utf16;
    };
    const StringCase cases[] = {
        {"FileDescription", "キーボードランチャー", L"キーボードランチャー"},
        {"FileVersion", RIVO_VERSION, L"" RIVO_VERSION},
        {"ProductVersion", RIVO_PRODUCT_VERSION, L"" RIVO_PRODUCT_VERSION},
        {"ProductName", "Rivo", L"Rivo"},
        {"OriginalFilename", "rivo.exe", L"rivo.exe"},
        {"InternalName", "rivo", L"rivo"},
    };
    VersionInfo info;
    ASSERT_TRUE(info.Loaded());

    const std::wstring path = [] {
        wchar_t wide[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, wide, MAX_PATH);
        return std::wstring(wide);
    }();
    DWORD ignored = 0;
    std::vector<char> wideData(::GetFileVersionInfoSizeW(path.c_str(), &ignored));
    ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(wideData.size()), wideData.data()));

    for (const auto& c : cases) {
        UINT length = 0;
        const std::string block = std::string("\\StringFileInfo\\041103A4\\") + c.key;
        const char* text = info.Query<char>(block.c_str(), length);
        ASSERT_NE(text, nullptr) << c.key;
        EXPECT_EQ(std::string(text), c.cp932) << c.key;

        const std::wstring wideBlock =
            L"\\StringFileInfo\\041103A4\\" + std::wstring(c.key, c.key + std::strlen(c.key));
        void* wideText = nullptr;
        ASSERT_TRUE(::VerQueryValueW(wideData.data(), wideBlock.c_str(), &wideText, &length)) << c.key;
        EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(wideText)), c.utf16) << c.key;
    }
}

TEST(Manifest, IsEmbeddedAndTakesEffect) {
    HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(found, nullptr);
    const char* bytes = static_cast<const char*>(::LockResource(::LoadResource(nullptr, found)));
    const std::string manifest(bytes, ::SizeofResource(nullptr, found));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(manifest.find("name=\"Rivo.Launcher\" version=\"" RIVO_VERSION "\""), std::string::npos)
        << "the project's version";

    EXPECT_TRUE(::IsProcessDPIAware()) << "DPI aware";
    // Per monitor (v2, else v1) where Windows reads dpiAwareness; system aware where it reads only
    // dpiAware. Wine makes every process per-monitor aware, so the text is what tells.
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);

    // The side-by-side common controls 6 are the ones this process gets (Wine's copy reports
    // 5.81 from DllGetVersion, so the assembly it was loaded from is what tells).
    platform::UniqueModule comctl(::LoadLibraryA("comctl32.dll"));
    ASSERT_TRUE(comctl);
    char loaded[MAX_PATH] = {};
    ::GetModuleFileNameA(comctl.get(), loaded, MAX_PATH);
    const std::string path = CharLowerA(loaded);
    EXPECT_NE(path.find("common-controls_6595b64144ccf1df_6.0."), std::string::npos) << path;
}

}  // namespace
}  // namespace rivo::ui
