#include "ui/font.h"

#include <cstring>

#include "platform/wide_text.h"
#include "platform/win32_error.h"

namespace rivo::ui {

// The literals below must reach the binary as code page 932 (2 bytes per full-width character).
static_assert(sizeof("ＭＳ") == 5, "sources must be compiled with -fexec-charset=CP932");

std::string StandardFontFace() {
    return "ＭＳ Ｐゴシック";
}

std::vector<std::string> StandardFontFallbacks() {
    return {"MS PGothic", "MS UI Gothic", "IPAPGothic"};
}

namespace {

int CALLBACK StopAtFirstFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

}  // namespace

bool FontFamilyExists(const std::string& face, BYTE charset) {
    // Asked for by the face's UTF-16 name: the system's code page may have no form of it.
    const std::wstring wide = platform::Wide(face);
    if (wide.empty() || wide.size() >= LF_FACESIZE)
        return false;
    LOGFONTW query{};
    query.lfCharSet = charset;
    std::memcpy(query.lfFaceName, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    const platform::WindowDC screen(nullptr);
    if (!screen)
        return false;
    bool found = false;
    ::EnumFontFamiliesExW(screen.get(), &query, StopAtFirstFamily, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

ResolvedFont CreateSpecFont(const FontSpec& wanted, int dpi) {
    LOGFONTW logFont{};
    logFont.lfHeight = -::MulDiv(wanted.height, dpi, 96);
    logFont.lfWeight = FW_NORMAL;
    logFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
    logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    logFont.lfQuality = DEFAULT_QUALITY;
    logFont.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;

    std::string face;
    BYTE charset = wanted.charset;
    if (FontFamilyExists(wanted.face, wanted.charset)) {
        face = wanted.face;
    } else {
        for (const auto& candidate : wanted.fallbacks) {
            if (FontFamilyExists(candidate, wanted.charset)) {
                face = candidate;
                break;
            }
        }
    }
    if (face.empty()) {
        // The system's own user-interface face, at our height so that layouts keep their size.
        LOGFONTW gui{};
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
        face = platform::Narrow(gui.lfFaceName);
        charset = gui.lfCharSet;
    }
    logFont.lfCharSet = charset;
    const std::wstring wideFace = platform::Wide(face).substr(0, LF_FACESIZE - 1);
    std::memcpy(logFont.lfFaceName, wideFace.c_str(), (wideFace.size() + 1) * sizeof(wchar_t));

    ResolvedFont result;
    result.font.reset(::CreateFontIndirectW(&logFont));
    if (!result.font)
        throw platform::Win32Error("CreateFontIndirectW");
    result.face = std::move(face);
    result.charset = charset;
    return result;
}

}  // namespace rivo::ui
