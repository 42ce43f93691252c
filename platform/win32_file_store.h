// The settings engine's file access through kernel32's W functions: a path of ours is code page
// 932, and one inside the program's folder keeps the folder's own name (WidePath).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "core/file_store.h"

namespace rivo::platform {

class Win32FileStore final : public FileStore {
public:
    using ReplaceFileFunction = BOOL(WINAPI*)(LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup,
                                              DWORD flags, LPVOID exclude, LPVOID reserved);
    // `replaceFile` stands in for ReplaceFileW where a test must see what the system seldom does.
    explicit Win32FileStore(ReplaceFileFunction replaceFile = ::ReplaceFileW) : replaceFile_(replaceFile) {}

    // A file that cannot exist or does not sit in an existing directory reads as Missing.
    ReadResult Read(const std::string& path) override;
    std::unique_ptr<WritableFile> CreateNew(const std::string& path, IoResult& result) override;
    // Retries a sharing violation, not a denial: that is the file's permissions.
    std::unique_ptr<WritableFile> OpenToRewrite(const std::string& path, std::uint64_t size,
                                                IoResult& result) override;
    // ReplaceFileW where `to` exists (its attributes and permissions stay), else MoveFileExW with
    // write-through. Its partial failures (1176, 1177) are reported halfway. A read-only `to` is
    // refused, as Windows itself refuses it, also where the system would let an administrator (or
    // Wine) replace it.
    // Reading and replacing retry a file another program holds for a moment (sharing violation,
    // access denied) for about 2 s before they report.
    IoResult Replace(const std::string& from, const std::string& to) override;
    // Removing a file that is not there succeeds: the caller wanted it gone.
    IoResult Remove(const std::string& path) override;

private:
    ReplaceFileFunction replaceFile_;
};

}  // namespace rivo::platform
