// The native file store and the atomic save on a real file system, in a scratch directory.
#include "core/posix_file_store.h"

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "core/profile_file.h"
#include "tests/core/profile_test_support.h"

namespace rivo {
namespace {

using testing_support::Cp932;

class PosixFileStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "rivo-store-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr) << std::strerror(errno);
        dir_ = pattern;
        path_ = (dir_ / "Rivo.ini").string();
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(dir_, ignored);
    }
    std::string Contents(const std::string& path) const {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void Put(const std::string& path, const std::string& bytes) const {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    std::filesystem::path dir_;
    std::string path_;
    PosixFileStore store_;
};

TEST_F(PosixFileStoreTest, SaveThenLoadGivesTheSameBytes) {
    ProfileDocument doc = ProfileDocument::Parse("; note\n[Rivo]\n65=a.exe\n", Cp932());
    doc.Write("Rivo", "65", "C:\\\x95\x5C\\b.exe");
    doc.Write("Rivo", "Key1", "16");
    ASSERT_TRUE(SaveProfile(store_, path_, doc).ok);
    EXPECT_EQ(Contents(path_), doc.Serialize());
    EXPECT_FALSE(std::filesystem::exists((dir_ / "Rivo.tmp").string()));

    const LoadedProfile loaded = LoadProfile(store_, Cp932(), path_);
    EXPECT_EQ(loaded.status, ReadResult::Status::Ok);
    EXPECT_EQ(loaded.document.Serialize(), doc.Serialize());
    EXPECT_EQ(loaded.document.ReadString("Rivo", "65", ""), "C:\\\x95\x5C\\b.exe");
}

TEST_F(PosixFileStoreTest, SaveReplacesTheFileAndAStaleTemporaryOne) {
    Put(path_, "[Rivo]\r\n65=old\r\n");
    Put((dir_ / "Rivo.tmp").string(), "left by a crash");
    ProfileDocument doc = ProfileDocument::Parse(Contents(path_), Cp932());
    doc.Write("Rivo", "65", "new");
    ASSERT_TRUE(SaveProfile(store_, path_, doc).ok);
    EXPECT_EQ(Contents(path_), "[Rivo]\r\n65=new\r\n");
    EXPECT_FALSE(std::filesystem::exists((dir_ / "Rivo.tmp").string()));
}

TEST_F(PosixFileStoreTest, ReadTellsMissingFromUnreadable) {
    const ReadResult missing = store_.Read(path_);
    EXPECT_EQ(missing.status, ReadResult::Status::Missing);

    const ReadResult directory = store_.Read(dir_.string());
    EXPECT_EQ(directory.status, ReadResult::Status::Error);
    EXPECT_NE(directory.error.find(dir_.string()), std::string::npos) << directory.error;
    EXPECT_NE(directory.error.find(std::strerror(EISDIR)), std::string::npos) << directory.error;

    const LoadedProfile loaded = LoadProfile(store_, Cp932(), dir_.string());
    EXPECT_EQ(loaded.status, ReadResult::Status::Error);
    EXPECT_FALSE(loaded.error.empty());
}

TEST_F(PosixFileStoreTest, CreateNewRefusesAnExistingFileAndRemoveIsIdempotent) {
    Put(path_, "x");
    IoResult result;
    EXPECT_EQ(store_.CreateNew(path_, result), nullptr);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find(path_), std::string::npos) << result.error;
    EXPECT_EQ(Contents(path_), "x");

    EXPECT_TRUE(store_.Remove(path_).ok);
    EXPECT_FALSE(std::filesystem::exists(path_));
    EXPECT_TRUE(store_.Remove(path_).ok);
}

TEST_F(PosixFileStoreTest, MissingDirectoryFailsWithTheReason) {
    const std::string path = (dir_ / "gone" / "Rivo.ini").string();
    const IoResult result = SaveProfile(store_, path, ProfileDocument::Parse("[s]\r\nk=v\r\n", Cp932()));
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find(path), std::string::npos) << result.error;
    EXPECT_NE(result.error.find(std::strerror(ENOENT)), std::string::npos) << result.error;
}

// The immutable flag (chattr +i) makes a folder refuse new files even to root while the files in it
// stay writable, as Windows' Program Files folder does to a standard user; on a file it refuses
// every write. Cleared again on destruction.
class Immutable {
public:
    explicit Immutable(const std::string& path) : path_(path) { error_ = Set(true); }
    ~Immutable() {
        if (error_ == 0)
            Set(false);
    }
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;

    // Why the flag could not be set ("" once it is): not root, or a file system without it.
    std::string Failure() const { return error_ == 0 ? "" : std::strerror(error_); }

private:
    int Set(bool on) const {
        const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return errno;
        int flags = 0;
        int error = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) {
            error = errno;
        } else {
            flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0)
                error = errno;
        }
        ::close(fd);
        return error;
    }

    std::string path_;
    int error_ = 0;
};

// A folder that refuses new files gets the file written in place, at once; where the file refuses
// too, the save is refused at once with the reason, and nothing changes.
TEST_F(PosixFileStoreTest, AFolderThatRefusesNewFilesIsAnsweredAtOnce) {
    for (const bool fileRefuses : {false, true}) {
        SCOPED_TRACE(fileRefuses ? "the file refuses too" : "the file is writable");
        Put(path_, "[Rivo]\r\n65=old\r\n");
        const Immutable folder(dir_.string());
        if (!folder.Failure().empty())
            GTEST_SKIP() << "no immutable flag here (chattr +i): " << folder.Failure();
        std::optional<Immutable> file;
        if (fileRefuses)
            file.emplace(path_);
        ProfileDocument doc = ProfileDocument::Parse(Contents(path_), Cp932());
        doc.Write("Rivo", "65", "a longer new value than the old one");
        timespec start{}, end{};
        ::clock_gettime(CLOCK_MONOTONIC, &start);
        const IoResult result = SaveProfile(store_, path_, doc);
        ::clock_gettime(CLOCK_MONOTONIC, &end);
        std::printf("[ figures  ] save in a refusing folder (%s): %.2f ms\n",
                    fileRefuses ? "file refuses" : "file writable",
                    (end.tv_sec - start.tv_sec) * 1e3 + (end.tv_nsec - start.tv_nsec) / 1e6);
        EXPECT_FALSE(std::filesystem::exists((dir_ / "Rivo.tmp").string()));
        if (!fileRefuses) {
            ASSERT_TRUE(result.ok) << result.error;
            EXPECT_EQ(Contents(path_), doc.Serialize());
            continue;
        }
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.error.find(path_), std::string::npos) << result.error;
        EXPECT_EQ(result.reason, std::strerror(EPERM));
        EXPECT_EQ(Contents(path_), "[Rivo]\r\n65=old\r\n");
    }
}

}  // namespace
}  // namespace rivo
