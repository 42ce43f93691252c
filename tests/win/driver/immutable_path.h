// The Linux immutable flag (chattr +i) on a file or folder of the Wine prefix, for the tests of what
// Windows refuses and Wine, running as root here, does not: a folder with it refuses new files even
// to root while the files in it stay writable (as Program Files does to a standard user), and a
// file with it refuses every write.
#pragma once

#include <string>

namespace rivo::test {

class ImmutablePath {
public:
    // Sets the flag and waits until the path refuses what it should.
    explicit ImmutablePath(const std::string& path);
    // Clears the flag again, and waits until it has gone.
    ~ImmutablePath();
    ImmutablePath(const ImmutablePath&) = delete;
    ImmutablePath& operator=(const ImmutablePath&) = delete;

    // Empty once the path refuses; else why it does not (no chattr, not under Wine, a file system
    // without the flag), for the test to say as it skips.
    const std::string& Unsupported() const { return unsupported_; }

private:
    std::wstring path_;
    std::string unixPath_;
    std::string unsupported_;
};

}  // namespace rivo::test
