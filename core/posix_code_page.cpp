#include "core/posix_code_page.h"

#include <cerrno>

namespace rivo {

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// Runs `cd` over the whole input; nullopt on any byte sequence it cannot convert.
std::optional<std::string> Convert(iconv_t cd, const char* data, std::size_t size) {
    if (cd == kNoConverter)
        return std::nullopt;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out(size * 2 + 16, '\0');
    char* in = const_cast<char*>(data);
    std::size_t inLeft = size;
    std::size_t done = 0;
    for (;;) {
        char* outPtr = out.data() + done;
        std::size_t outLeft = out.size() - done;
        const std::size_t rc = iconv(cd, inLeft ? &in : nullptr, &inLeft, &outPtr, &outLeft);
        done = out.size() - outLeft;
        if (rc != static_cast<std::size_t>(-1)) {
            if (inLeft == 0)
                break;
            continue;
        }
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        return std::nullopt;  // EILSEQ, or EINVAL for a sequence cut at the end
    }
    out.resize(done);
    return out;
}

}  // namespace

PosixCp932CodePage::PosixCp932CodePage()
    : toUtf16_(iconv_open("UTF-16LE", "CP932")), fromUtf16_(iconv_open("CP932", "UTF-16LE")) {}

PosixCp932CodePage::~PosixCp932CodePage() {
    if (toUtf16_ != kNoConverter)
        iconv_close(toUtf16_);
    if (fromUtf16_ != kNoConverter)
        iconv_close(fromUtf16_);
}

std::optional<std::string> PosixCp932CodePage::FromUtf16(std::u16string_view text) const {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    std::lock_guard<std::mutex> lock(mutex_);
    return Convert(fromUtf16_, bytes.data(), bytes.size());
}

std::optional<std::u16string> PosixCp932CodePage::ToUtf16(std::string_view text) const {
    std::optional<std::string> bytes;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        bytes = Convert(toUtf16_, text.data(), text.size());
    }
    if (!bytes || bytes->size() % 2 != 0)
        return std::nullopt;
    std::u16string units(bytes->size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(static_cast<unsigned char>((*bytes)[2 * i]) |
                                         (static_cast<unsigned char>((*bytes)[2 * i + 1]) << 8));
    }
    return units;
}

}  // namespace rivo
