#include "core/posix_file_store.h"

#include <fcntl.h>
#include <unistd.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace rivo {

namespace {

std::string Describe(std::string_view what, const std::string& path, int error) {
    std::string text(what);
    text += " \"";
    text += path;
    text += "\": ";
    text += std::strerror(error);
    return text;
}

IoResult Failure(std::string_view what, const std::string& path, int error) {
    const bool denied = error == EACCES || error == EPERM || error == EROFS;
    IoResult result = IoResult::Fail(Describe(what, path, error), std::strerror(error), denied);
    result.missing = error == ENOENT;
    return result;
}

// Closes the descriptor on every path out of a scope unless released.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

class PosixWritableFile : public WritableFile {
public:
    PosixWritableFile(int fd, std::string path, bool rewrite = false)
        : fd_(fd), path_(std::move(path)), rewrite_(rewrite) {}

    IoResult Write(std::string_view bytes) override {
        if (fd_.get() < 0)
            return Failure("cannot write to closed file", path_, EBADF);
        while (!bytes.empty()) {
            const ssize_t written = ::write(fd_.get(), bytes.data(), bytes.size());
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                return Failure("cannot write", path_, errno);
            }
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
        return IoResult::Ok();
    }

    IoResult Flush() override {
        if (fd_.get() < 0)
            return Failure("cannot flush closed file", path_, EBADF);
        if (rewrite_) {
            const off_t end = ::lseek(fd_.get(), 0, SEEK_CUR);
            if (end < 0 || ::ftruncate(fd_.get(), end) != 0)
                return Failure("cannot cut", path_, errno);
        }
        if (::fsync(fd_.get()) != 0)
            return Failure("cannot flush", path_, errno);
        return IoResult::Ok();
    }

    IoResult Close() override {
        const int fd = fd_.release();
        if (fd < 0)
            return IoResult::Ok();
        // close(2) may report a delayed write error; the descriptor is gone either way.
        if (::close(fd) != 0 && errno != EINTR)
            return Failure("cannot close", path_, errno);
        return IoResult::Ok();
    }

private:
    Descriptor fd_;
    std::string path_;
    bool rewrite_;
};

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

}  // namespace

ReadResult PosixFileStore::Read(const std::string& path) {
    ReadResult result;
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT) {
            result.status = ReadResult::Status::Missing;
        } else {
            result.status = ReadResult::Status::Error;
            result.error = Describe("cannot open", path, errno);
            result.reason = std::strerror(errno);
        }
        return result;
    }
    const auto tooLarge = [&] {
        result.status = ReadResult::Status::Error;
        result.error = Describe("cannot read", path, EFBIG);
        result.reason = std::strerror(EFBIG);
        result.tooLarge = true;
        result.bytes.clear();
        return result;
    };
    struct stat info {};
    if (::fstat(fd.get(), &info) == 0 && info.st_size > 0) {
        if (static_cast<std::uint64_t>(info.st_size) > kMaxReadBytes)
            return tooLarge();
        result.bytes.reserve(static_cast<std::size_t>(info.st_size));
    }
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            result.status = ReadResult::Status::Error;
            result.error = Describe("cannot read", path, errno);
            result.reason = std::strerror(errno);
            result.bytes.clear();
            return result;
        }
        if (got == 0)
            break;
        // Read to the end rather than to the size seen above: the file may still be growing.
        if (result.bytes.size() + static_cast<std::size_t>(got) > kMaxReadBytes)
            return tooLarge();
        result.bytes.append(buffer, static_cast<std::size_t>(got));
    }
    result.status = ReadResult::Status::Ok;
    return result;
}

std::unique_ptr<WritableFile> PosixFileStore::CreateNew(const std::string& path, IoResult& result) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        result = Failure("cannot create", path, errno);
        return nullptr;
    }
    result = IoResult::Ok();
    return std::make_unique<PosixWritableFile>(fd, path);
}

std::unique_ptr<WritableFile> PosixFileStore::OpenToRewrite(const std::string& path, std::uint64_t size,
                                                            IoResult& result) {
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        result = Failure("cannot open", path, errno);
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        result = Failure("cannot inspect", path, errno);
        return nullptr;
    }
    if (static_cast<std::uint64_t>(info.st_size) < size) {
        // posix_fallocate returns the error rather than setting errno.
        const int error = ::posix_fallocate(fd.get(), 0, static_cast<off_t>(size));
        if (error != 0) {
            result = Failure("cannot extend", path, error);
            return nullptr;
        }
    }
    result = IoResult::Ok();
    return std::make_unique<PosixWritableFile>(fd.release(), path, true);
}

IoResult PosixFileStore::Replace(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) {
        const int error = errno;
        return Failure("cannot rename \"" + from + "\" to", to, error);
    }
    // The rename is done; a directory that cannot be synced does not undo it.
    Descriptor dir(::open(DirectoryOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
    return IoResult::Ok();
}

IoResult PosixFileStore::Remove(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        return Failure("cannot remove", path, errno);
    return IoResult::Ok();
}

}  // namespace rivo
