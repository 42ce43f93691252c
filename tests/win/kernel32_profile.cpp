#include "tests/win/kernel32_profile.h"

#include <windows.h>

namespace rivo::test {

namespace {

constexpr DWORD kBufferSize = 1 << 20;
// No corpus value looks like this, so getting it back means the key was missing.
constexpr char kMissing[] = "\x01rivo-missing\x02";

std::vector<std::string> SplitDoubleNul(const std::string& buffer, DWORD length) {
    std::vector<std::string> names;
    std::size_t start = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (buffer[i] == '\0') {
            names.emplace_back(buffer.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start < length) {
        names.emplace_back(buffer.substr(start, length - start));
    }
    return names;
}

}  // namespace

void Kernel32Profile::Flush() const {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str());
}

std::optional<std::string> Kernel32Profile::Read(std::string_view section, std::string_view key) const {
    std::string value = ReadOr(section, key, kMissing);
    if (value == kMissing) {
        return std::nullopt;
    }
    return value;
}

std::string Kernel32Profile::ReadOr(std::string_view section, std::string_view key,
                                    std::string_view fallback) const {
    std::string buffer(kBufferSize, '\0');
    const std::string sectionText(section), keyText(key), fallbackText(fallback);
    const DWORD length = GetPrivateProfileStringA(sectionText.c_str(), keyText.c_str(), fallbackText.c_str(),
                                                  buffer.data(), kBufferSize, path_.c_str());
    buffer.resize(length);
    return buffer;
}

std::vector<std::string> Kernel32Profile::SectionNames() const {
    std::string buffer(kBufferSize, '\0');
    const DWORD length = GetPrivateProfileSectionNamesA(buffer.data(), kBufferSize, path_.c_str());
    return SplitDoubleNul(buffer, length);
}

std::vector<std::string> Kernel32Profile::KeyNames(std::string_view section) const {
    std::string buffer(kBufferSize, '\0');
    const std::string sectionText(section);
    const DWORD length =
        GetPrivateProfileStringA(sectionText.c_str(), nullptr, "", buffer.data(), kBufferSize, path_.c_str());
    return SplitDoubleNul(buffer, length);
}

bool Kernel32Profile::Write(std::string_view section, std::string_view key, std::string_view value) const {
    const std::string sectionText(section), keyText(key), valueText(value);
    return WritePrivateProfileStringA(sectionText.c_str(), keyText.c_str(), valueText.c_str(),
                                      path_.c_str()) != FALSE;
}

}  // namespace rivo::test
