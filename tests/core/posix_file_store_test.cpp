// The native file store and the atomic save on a real file system, in a scratch directory.
#include "core/posix_file_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
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

TEST_F(PosixFileStoreTest, ReadOnlyDirectoryFailsWithTheReasonAndKeepsTheFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only directories";
    Put(path_, "[Rivo]\r\n65=old\r\n");
    ASSERT_EQ(::chmod(dir_.c_str(), 0555), 0);
    ProfileDocument doc = ProfileDocument::Parse(Contents(path_), Cp932());
    doc.Write("Rivo", "65", "new");
    const IoResult result = SaveProfile(store_, path_, doc);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find(path_), std::string::npos) << result.error;
    EXPECT_NE(result.error.find(std::strerror(EACCES)), std::string::npos) << result.error;
    EXPECT_EQ(Contents(path_), "[Rivo]\r\n65=old\r\n");
    EXPECT_FALSE(std::filesystem::exists((dir_ / "Rivo.tmp").string()));
}

}  // namespace
}  // namespace rivo
