// File access as the settings engine needs it; POSIX natively, Win32 in the Windows build.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace rivo {

struct IoResult {
    bool ok = true;
    std::string error;     // what failed and why, for a person to read; empty on success
    std::string reason;    // the system's own words for why, without the call and the path
    bool denied = false;   // the system refused access (a folder that takes no new file)
    bool missing = false;  // there is no such file (or folder)
    // A Replace that failed halfway: `to` is no longer there under its name (gone, or renamed to
    // a name of the system's choosing) while `from` still holds the new bytes.
    bool halfway = false;

    static IoResult Ok() { return {}; }
    static IoResult Fail(std::string why, std::string reason = {}, bool denied = false) {
        return {false, std::move(why), std::move(reason), denied, false, false};
    }
};

// A store reads no file longer than this: far beyond any settings file, and reading more would
// only exhaust memory on the wrong file.
inline constexpr std::uint64_t kMaxReadBytes = 64u * 1024u * 1024u;

struct ReadResult {
    enum class Status { Ok, Missing, Error };
    Status status = Status::Missing;
    std::string bytes;
    std::string error;
    std::string reason;     // as IoResult::reason
    bool tooLarge = false;  // an Error: longer than kMaxReadBytes
};

// A file opened for writing; closing it without Close() discards nothing already written.
class WritableFile {
public:
    virtual ~WritableFile() = default;
    virtual IoResult Write(std::string_view bytes) = 0;
    // Forces the written bytes to the disk before the file may replace another; a file opened by
    // OpenToRewrite ends here, after the last byte written.
    virtual IoResult Flush() = 0;
    virtual IoResult Close() = 0;
};

class FileStore {
public:
    virtual ~FileStore() = default;
    virtual ReadResult Read(const std::string& path) = 0;
    // Creates `path`, failing if it exists.
    virtual std::unique_ptr<WritableFile> CreateNew(const std::string& path, IoResult& result) = 0;
    // Opens an existing file to be written over from its start, keeping its attributes, and first
    // makes it `size` bytes long if it is shorter: a disk without room for the new bytes refuses
    // before one of them is written, and no crash leaves new bytes followed by old ones.
    virtual std::unique_ptr<WritableFile> OpenToRewrite(const std::string& path, std::uint64_t size,
                                                        IoResult& result) = 0;
    // Puts `from` in place of `to` in one step, replacing `to` if it exists. A failure may leave
    // `to` gone with `from` in place (halfway); `from` is then the only copy.
    virtual IoResult Replace(const std::string& from, const std::string& to) = 0;
    virtual IoResult Remove(const std::string& path) = 0;
};

}  // namespace rivo
