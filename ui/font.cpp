#include "ui/font.h"

#include <cstring>

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

int CALLBACK StopAtFirstFamily(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

}  // namespace

bool FontFamilyExists(const std::string& face, BYTE charset) {
    if (face.empty() || face.size() >= LF_FACESIZE)
        return false;
    LOGFONTA query{};
    query.lfCharSet = charset;
    std::memcpy(query.lfFaceName, face.c_str(), face.size() + 1);
    const platform::WindowDC screen(nullptr);
    if (!screen)
        return false;
    bool found = false;
    ::EnumFontFamiliesExA(screen.get(), &query, StopAtFirstFamily, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

ResolvedFont CreateSpecFont(const FontSpec& wanted, int dpi) {
    LOGFONTA logFont{};
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
        LOGFONTA gui{};
        ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
        face = gui.lfFaceName;
        charset = gui.lfCharSet;
    }
    logFont.lfCharSet = charset;
    std::memcpy(logFont.lfFaceName, face.c_str(), face.size() + 1);

    ResolvedFont result;
    result.font.reset(::CreateFontIndirectA(&logFont));
    if (!result.font)
        throw platform::Win32Error("CreateFontIndirectA");
    result.face = std::move(face);
    result.charset = charset;
    return result;
}

}  // namespace rivo::ui
