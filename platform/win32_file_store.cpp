#include "platform/win32_file_store.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "core/transient_retry.h"
#include "platform/program_dir.h"
#include "platform/unique_handle.h"
#include "platform/win32_error.h"

namespace rivo::platform {

namespace {

// `Function("path", "path2"): system text`, so a person sees which file the call failed on.
std::string DescribeWin32Failure(std::string_view function, std::initializer_list<std::string_view> paths,
                                 DWORD error) {
    std::string call(function);
    call += '(';
    const char* separator = "";
    for (std::string_view path : paths) {
        call.append(separator).append("\"").append(path).append("\"");
        separator = ", ";
    }
    call += ')';
    return Win32ErrorText(call, error);
}

bool IsAbsent(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

IoResult Win32Failure(std::string_view function, std::initializer_list<std::string_view> paths, DWORD error) {
    IoResult result = IoResult::Fail(DescribeWin32Failure(function, paths, error), SystemMessage(error),
                                     error == ERROR_ACCESS_DENIED);
    result.missing = IsAbsent(error);
    return result;
}

// Opened by another program that shares less than we need.
bool IsHeld(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// Held for a moment by another program (virus scanner, indexer, sync client): worth another try.
// A file such a program holds without delete sharing cannot be renamed or replaced, which can
// also come back as access denied; ReplaceFileW reports a replaced file it could not take away as
// its own code.
bool IsTransient(DWORD error) {
    return IsHeld(error) || error == ERROR_ACCESS_DENIED || error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

// Runs `call` (a Win32 call returning success, leaving GetLastError on failure) with the bounded
// retry while `transient` says the error is worth another try; returns 0 or the last error.
template <typename Call>
DWORD WithRetry(Call&& call, bool (*transient)(DWORD) = IsTransient) {
    return RetryTransient([&]() -> DWORD { return call() ? ERROR_SUCCESS : GetLastError(); },
                          [transient](DWORD error) { return error != ERROR_SUCCESS && transient(error); },
                          [](unsigned milliseconds) { Sleep(milliseconds); });
}

bool IsReadOnly(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

constexpr DWORD kChunkBytes = 1u << 20;

class Win32WritableFile final : public WritableFile {
public:
    Win32WritableFile(UniqueFile file, std::string path, bool rewrite = false)
        : file_(std::move(file)), path_(std::move(path)), rewrite_(rewrite) {}

    IoResult Write(std::string_view bytes) override {
        if (!file_) {
            return Closed("WriteFile");
        }
        while (!bytes.empty()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kChunkBytes));
            DWORD written = 0;
            if (!WriteFile(file_.get(), bytes.data(), chunk, &written, nullptr)) {
                return Win32Failure("WriteFile", {path_}, GetLastError());
            }
            if (written == 0) {
                return Win32Failure("WriteFile", {path_}, ERROR_WRITE_FAULT);
            }
            bytes.remove_prefix(written);
        }
        return IoResult::Ok();
    }

    IoResult Flush() override {
        if (!file_) {
            return Closed("FlushFileBuffers");
        }
        if (rewrite_ && !SetEndOfFile(file_.get())) {
            return Win32Failure("SetEndOfFile", {path_}, GetLastError());
        }
        if (!FlushFileBuffers(file_.get())) {
            return Win32Failure("FlushFileBuffers", {path_}, GetLastError());
        }
        return IoResult::Ok();
    }

    IoResult Close() override {
        if (!file_) {
            return IoResult::Ok();
        }
        // Closing can report a write the system deferred; the owner's reset() would swallow that.
        if (!CloseHandle(file_.release())) {
            return Win32Failure("CloseHandle", {path_}, GetLastError());
        }
        return IoResult::Ok();
    }

private:
    IoResult Closed(std::string_view function) const {
        return Win32Failure(function, {path_}, ERROR_INVALID_HANDLE);
    }

    UniqueFile file_;
    std::string path_;
    bool rewrite_;
};

// A read that failed in `call` with `error`; a file too large for the engine says so.
ReadResult ReadFailure(const char* call, const std::string& path, DWORD error) {
    ReadResult result;
    result.status = ReadResult::Status::Error;
    result.error = DescribeWin32Failure(call, {path}, error);
    result.reason = SystemMessage(error);
    result.tooLarge = error == ERROR_FILE_TOO_LARGE;
    return result;
}

}  // namespace

ReadResult Win32FileStore::Read(const std::string& path) {
    // Sharing everything keeps a reader from blocking an editor or a concurrent atomic replace.
    UniqueFile file;
    const DWORD error = WithRetry([&] {
        file.reset(CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        return static_cast<bool>(file);
    });
    if (!file) {
        if (!IsAbsent(error))
            return ReadFailure("CreateFileW", path, error);
        ReadResult missing;
        missing.status = ReadResult::Status::Missing;
        return missing;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size))
        return ReadFailure("GetFileSizeEx", path, GetLastError());
    if (static_cast<std::uint64_t>(size.QuadPart) > kMaxReadBytes)
        return ReadFailure("ReadFile", path, ERROR_FILE_TOO_LARGE);
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(size.QuadPart));
    // Read to the end rather than to the size seen above: the file may still be growing.
    std::string chunk(64 * 1024, '\0');
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr))
            return ReadFailure("ReadFile", path, GetLastError());
        if (got == 0)
            break;
        if (bytes.size() + got > kMaxReadBytes)
            return ReadFailure("ReadFile", path, ERROR_FILE_TOO_LARGE);
        bytes.append(chunk.data(), got);
    }
    ReadResult result;
    result.status = ReadResult::Status::Ok;
    result.bytes = std::move(bytes);
    return result;
}

std::unique_ptr<WritableFile> Win32FileStore::CreateNew(const std::string& path, IoResult& result) {
    UniqueFile file(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        result = Win32Failure("CreateFileW", {path}, GetLastError());
        return nullptr;
    }
    result = IoResult::Ok();
    return std::make_unique<Win32WritableFile>(std::move(file), path);
}

std::unique_ptr<WritableFile> Win32FileStore::OpenToRewrite(const std::string& path, std::uint64_t size,
                                                            IoResult& result) {
    if (IsReadOnly(path)) {
        result = Win32Failure("CreateFileW", {path}, ERROR_ACCESS_DENIED);
        return nullptr;
    }
    UniqueFile file;
    // OPEN_EXISTING rather than a truncating mode: those refuse a hidden or system file. A denial
    // here is the file's permissions (the folder has refused a new file already): reported at once.
    const DWORD error = WithRetry(
        [&] {
            file.reset(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            return static_cast<bool>(file);
        },
        IsHeld);
    if (!file) {
        result = Win32Failure("CreateFileW", {path}, error);
        return nullptr;
    }
    // Longer first: the clusters are allocated now, so a full disk refuses before a byte changes.
    LARGE_INTEGER current{};
    if (!GetFileSizeEx(file.get(), &current)) {
        result = Win32Failure("GetFileSizeEx", {path}, GetLastError());
        return nullptr;
    }
    if (static_cast<std::uint64_t>(current.QuadPart) < size) {
        LARGE_INTEGER end{};
        end.QuadPart = static_cast<LONGLONG>(size);
        const LARGE_INTEGER start{};
        if (!SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) || !SetEndOfFile(file.get()) ||
            !SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN)) {
            const DWORD extendError = GetLastError();
            // Back to the old length, should the extension have taken effect in part.
            SetFilePointerEx(file.get(), current, nullptr, FILE_BEGIN);
            SetEndOfFile(file.get());
            result = Win32Failure("SetEndOfFile", {path}, extendError);
            return nullptr;
        }
    }
    result = IoResult::Ok();
    return std::make_unique<Win32WritableFile>(std::move(file), path, true);
}

IoResult Win32FileStore::Replace(const std::string& from, const std::string& to) {
    const DWORD attributes = GetFileAttributesW(WidePath(to).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = WithRetry([&] {
            return MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
        });
        return error == ERROR_SUCCESS ? IoResult::Ok() : Win32Failure("MoveFileExW", {from, to}, error);
    }
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        // The user marked the file read-only: keep it, at once, and say so the way ReplaceFileW does.
        return Win32Failure("ReplaceFileW", {to, from}, ERROR_ACCESS_DENIED);
    }
    // ReplaceFileW keeps the replaced file's attributes, security and creation time, where a move
    // would give Rivo.ini those of the temporary file.
    const DWORD error = WithRetry([&] {
        return replaceFile_(WidePath(to).c_str(), WidePath(from).c_str(), nullptr,
                            REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != FALSE;
    });
    if (error != ERROR_SUCCESS) {
        IoResult failed = Win32Failure("ReplaceFileW", {to, from}, error);
        // Without a backup name the replaced file is gone (1176), or kept under a name of the
        // system's choosing (1177); either way the replacement still has its own name.
        failed.halfway =
            error == ERROR_UNABLE_TO_MOVE_REPLACEMENT || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2;
        return failed;
    }
    // Wine's ReplaceFileW moves the new file without the old one's attributes; put them back.
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                       FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD now = GetFileAttributesW(WidePath(to).c_str());
    if (now != INVALID_FILE_ATTRIBUTES && (now & kept) != (attributes & kept)) {
        SetFileAttributesW(WidePath(to).c_str(), (now & ~kept) | (attributes & kept));
    }
    return IoResult::Ok();
}

IoResult Win32FileStore::Remove(const std::string& path) {
    if (!DeleteFileW(WidePath(path).c_str())) {
        const DWORD error = GetLastError();
        if (IsAbsent(error)) {
            return IoResult::Ok();
        }
        return Win32Failure("DeleteFileW", {path}, error);
    }
    return IoResult::Ok();
}

}  // namespace rivo::platform
