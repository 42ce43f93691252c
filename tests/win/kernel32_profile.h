// kernel32's private-profile functions on one file, shaped like the engine's calls so the two can
// be compared call for call.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rivo::test {

class Kernel32Profile {
public:
    explicit Kernel32Profile(std::string path) : path_(std::move(path)) {}

    // Drops the process's cached copy, so the next call parses the file as it is on disk.
    void Flush() const;
    // GetPrivateProfileStringA through a buffer far larger than any corpus value; nullopt when
    // kernel32 fell back to the default.
    std::optional<std::string> Read(std::string_view section, std::string_view key) const;
    std::string ReadOr(std::string_view section, std::string_view key, std::string_view fallback) const;
    std::vector<std::string> SectionNames() const;
    std::vector<std::string> KeyNames(std::string_view section) const;
    bool Write(std::string_view section, std::string_view key, std::string_view value) const;

private:
    std::string path_;
};

}  // namespace rivo::test
