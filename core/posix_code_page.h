// Code page 932 natively, through iconv ("CP932" <-> "UTF-16LE").
#pragma once

#include <iconv.h>

#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "core/code_page.h"

namespace rivo {

class PosixCp932CodePage : public CodePage {
public:
    PosixCp932CodePage();
    ~PosixCp932CodePage() override;
    PosixCp932CodePage(const PosixCp932CodePage&) = delete;
    PosixCp932CodePage& operator=(const PosixCp932CodePage&) = delete;

    std::optional<std::string> FromUtf16(std::u16string_view text) const override;
    std::optional<std::u16string> ToUtf16(std::string_view text) const override;

private:
    // Opened once: iconv_open costs far more than converting one settings value. The descriptors
    // carry shift state, so each conversion holds the lock and starts from the initial state.
    iconv_t toUtf16_;
    iconv_t fromUtf16_;
    mutable std::mutex mutex_;
};

}  // namespace rivo
