// File access as the settings engine needs it; POSIX natively, Win32 in the Windows build.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace rivo {

struct IoResult {
    bool ok = true;
    std::string error;  // what failed and why, for a person to read; empty on success

    static IoResult Ok() { return {}; }
    static IoResult Fail(std::string why) { return {false, std::move(why)}; }
};

struct ReadResult {
    enum class Status { Ok, Missing, Error };
    Status status = Status::Missing;
    std::string bytes;
    std::string error;
};

// A file opened for writing; closing it without Close() discards nothing already written.
class WritableFile {
public:
    virtual ~WritableFile() = default;
    virtual IoResult Write(std::string_view bytes) = 0;
    // Forces the written bytes to the disk before the file may replace another.
    virtual IoResult Flush() = 0;
    virtual IoResult Close() = 0;
};

class FileStore {
public:
    virtual ~FileStore() = default;
    virtual ReadResult Read(const std::string& path) = 0;
    // Creates `path`, failing if it exists.
    virtual std::unique_ptr<WritableFile> CreateNew(const std::string& path, IoResult& result) = 0;
    // Puts `from` in place of `to` in one step, replacing `to` if it exists.
    virtual IoResult Replace(const std::string& from, const std::string& to) = 0;
    virtual IoResult Remove(const std::string& path) = 0;
};

}  // namespace rivo
