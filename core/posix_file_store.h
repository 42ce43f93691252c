// The settings engine's file access natively: POSIX open/read/write/fsync/rename/unlink.
#pragma once

#include <memory>
#include <string>

#include "core/file_store.h"

namespace rivo {

class PosixFileStore : public FileStore {
public:
    ReadResult Read(const std::string& path) override;
    std::unique_ptr<WritableFile> CreateNew(const std::string& path, IoResult& result) override;
    // Allocates the new length with posix_fallocate, so that a full disk refuses there.
    std::unique_ptr<WritableFile> OpenToRewrite(const std::string& path, std::uint64_t size,
                                                IoResult& result) override;
    // rename(2), then a best-effort fsync of the directory so the new name outlives a power cut.
    IoResult Replace(const std::string& from, const std::string& to) override;
    // Removing a file that does not exist succeeds: the caller wanted it gone.
    IoResult Remove(const std::string& path) override;
};

}  // namespace rivo
