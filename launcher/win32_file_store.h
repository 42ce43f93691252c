// The settings engine's file access through kernel32.
#pragma once

#include <memory>
#include <string>

#include "core/file_store.h"

namespace rivo {

class Win32FileStore final : public FileStore {
public:
    // A file that cannot exist or does not sit in an existing directory reads as Missing.
    ReadResult Read(const std::string& path) override;
    std::unique_ptr<WritableFile> CreateNew(const std::string& path, IoResult& result) override;
    // MoveFileExA with write-through, so the new file is on the disk when this returns. A
    // read-only `to` is refused, as Windows itself refuses it, also where the system would let
    // an administrator (or Wine) replace it.
    IoResult Replace(const std::string& from, const std::string& to) override;
    // Removing a file that is not there succeeds: the caller wanted it gone.
    IoResult Remove(const std::string& path) override;
};

}  // namespace rivo
