// Loading and the atomic save, against an in-memory file store that can fail or lose power at
// every step of a save.
#include "core/profile_file.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "core/path_utils.h"
#include "tests/core/profile_test_support.h"

namespace rivo {
namespace {

using testing_support::Cp932;

// Files in memory with a model of what survives a power cut: bytes written but not flushed are
// lost, a rename is atomic. Every CreateNew, Write, Flush, Close and Replace is one numbered step.
class FakeFileStore : public FileStore {
public:
    struct File {
        std::string data;
        std::size_t durable = 0;  // data[0, durable) survives a power cut
    };

    std::map<std::string, File> files;
    int failAt = -1;   // this step fails and changes nothing; the store goes on working
    int crashAt = -1;  // the machine stops before this step: nothing more happens, nothing cleans up
    int steps = 0;
    bool dead = false;
    bool refuseNewFiles = false;  // a folder whose permissions let existing files change only
    bool refuseRewrites = false;  // ... and a file that may not change either
    bool diskFull = false;        // no file can grow: a write past a file's end stops there
    // The next Replace fails as ReplaceFileW does with this code: 1175 changes nothing, 1176 leaves
    // `to` gone, 1177 leaves it under a name of its own choosing; `from` keeps the new bytes.
    int replaceError = 0;
    std::vector<std::string> stepNames;

    void Put(const std::string& path, const std::string& data) { files[path] = {data, data.size()}; }

    // Power comes back: unflushed bytes are gone, the store works again.
    void Reboot() {
        for (auto& [path, file] : files)
            file.data.resize(file.durable);
        dead = false;
        failAt = crashAt = -1;
    }

    // Counts a step; false when it must not happen (failure injected, or after the crash).
    bool Step(const char* name, IoResult& failure) {
        if (dead) {
            failure = IoResult::Fail("the machine is off");
            return false;
        }
        const int step = steps++;
        stepNames.push_back(name);
        if (step == crashAt) {
            dead = true;
            failure = IoResult::Fail("the machine is off");
            return false;
        }
        if (step == failAt) {
            failure = IoResult::Fail(std::string("injected failure of ") + name);
            return false;
        }
        return true;
    }

    ReadResult Read(const std::string& path) override {
        ReadResult result;
        const auto found = files.find(path);
        if (found == files.end())
            return result;
        result.status = ReadResult::Status::Ok;
        result.bytes = found->second.data;
        return result;
    }

    std::unique_ptr<WritableFile> CreateNew(const std::string& path, IoResult& result) override;
    std::unique_ptr<WritableFile> OpenToRewrite(const std::string& path, std::uint64_t size,
                                                IoResult& result) override;

    IoResult Replace(const std::string& from, const std::string& to) override {
        IoResult failure;
        if (!Step("replace", failure))
            return failure;
        if (const int code = std::exchange(replaceError, 0); code != 0) {
            failure = IoResult::Fail("injected ReplaceFileW error " + std::to_string(code));
            if (code != 1175 && files.count(to) != 0) {
                if (code == 1177)
                    files[to + ".rf0001"] = files[to];
                files.erase(to);
                failure.halfway = true;
            }
            return failure;
        }
        const auto found = files.find(from);
        if (found == files.end())
            return IoResult::Fail("no such file: " + from);
        files[to] = found->second;
        files.erase(from);
        return IoResult::Ok();
    }

    IoResult Remove(const std::string& path) override {
        if (dead)
            return IoResult::Fail("the machine is off");
        files.erase(path);
        return IoResult::Ok();
    }
};

class FakeFile : public WritableFile {
public:
    FakeFile(FakeFileStore& store, std::string path, bool rewrite = false)
        : store_(store), path_(std::move(path)), rewrite_(rewrite) {}

    IoResult Write(std::string_view bytes) override {
        IoResult failure;
        if (!store_.Step("write", failure))
            return failure;
        if (closed_)
            return IoResult::Fail("write after close");
        std::string& data = store_.files[path_].data;
        const bool full = store_.diskFull && written_ + bytes.size() > data.size();
        if (full)
            bytes = bytes.substr(0, data.size() - std::min(written_, data.size()));
        data.replace(written_, bytes.size(), bytes);
        written_ += bytes.size();
        return full ? IoResult::Fail("disk full") : IoResult::Ok();
    }
    IoResult Flush() override {
        IoResult failure;
        if (!store_.Step("flush", failure))
            return failure;
        FakeFileStore::File& file = store_.files[path_];
        if (rewrite_)
            file.data.resize(written_);
        file.durable = file.data.size();
        return IoResult::Ok();
    }
    IoResult Close() override {
        IoResult failure;
        if (!store_.Step("close", failure))
            return failure;
        closed_ = true;
        return IoResult::Ok();
    }

private:
    FakeFileStore& store_;
    std::string path_;
    bool rewrite_;
    std::size_t written_ = 0;
    bool closed_ = false;
};

std::unique_ptr<WritableFile> FakeFileStore::CreateNew(const std::string& path, IoResult& result) {
    if (!Step("create", result))
        return nullptr;
    if (refuseNewFiles) {
        result = IoResult::Fail("cannot create " + path + ": denied", "denied", true);
        return nullptr;
    }
    if (files.count(path) != 0) {
        result = IoResult::Fail("exists: " + path);
        return nullptr;
    }
    files[path] = {};
    result = IoResult::Ok();
    return std::make_unique<FakeFile>(*this, path);
}

std::unique_ptr<WritableFile> FakeFileStore::OpenToRewrite(const std::string& path, std::uint64_t size,
                                                           IoResult& result) {
    if (!Step("open", result))
        return nullptr;
    if (files.count(path) == 0) {
        result = IoResult::Fail("no such file: " + path);
        result.missing = true;
        return nullptr;
    }
    if (refuseRewrites) {
        result = IoResult::Fail("cannot open " + path + ": denied", "denied", true);
        return nullptr;
    }
    File& file = files[path];
    if (file.data.size() < size) {
        if (diskFull) {
            result = IoResult::Fail("cannot extend " + path + ": disk full", "disk full");
            return nullptr;
        }
        file.data.resize(static_cast<std::size_t>(size), '\0');
    }
    result = IoResult::Ok();
    return std::make_unique<FakeFile>(*this, path, true);
}

const std::string kPath = "C:\\Rivo\\Rivo.ini";
const std::string kTemp = "C:\\Rivo\\Rivo.tmp";
const std::string kOld = "; mine\r\n[Rivo]\r\n65=a.exe\r\n365=C:\\\r\n";

std::string NewBytes(const std::string& old) {
    ProfileDocument doc = ProfileDocument::Parse(old, Cp932());
    doc.Write("Rivo", "65", "b.exe");
    doc.Write("Rivo", "66", "c.exe");
    return doc.Serialize();
}

int StepsOfACleanSave(const std::string* old) {
    FakeFileStore store;
    if (old)
        store.Put(kPath, *old);
    const IoResult result =
        SaveProfile(store, kPath, ProfileDocument::Parse(NewBytes(old ? *old : ""), Cp932()));
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_EQ(store.stepNames, (std::vector<std::string>{"create", "write", "flush", "close", "replace"}));
    return store.steps;
}

struct Start {
    const char* name;
    bool exists;
};

void PrintTo(const Start& start, std::ostream* os) {
    *os << start.name;
}

class ProfileSaveFaults : public ::testing::TestWithParam<Start> {};

TEST_P(ProfileSaveFaults, PowerCutAtAnyStepLeavesTheOldOrTheNewFile) {
    const std::string* old = GetParam().exists ? &kOld : nullptr;
    const std::string fresh = NewBytes(old ? *old : "");
    const int steps = StepsOfACleanSave(old);
    for (int crash = 0; crash <= steps; ++crash) {
        FakeFileStore store;
        if (old)
            store.Put(kPath, *old);
        store.crashAt = crash;
        const IoResult result = SaveProfile(store, kPath, ProfileDocument::Parse(fresh, Cp932()));
        EXPECT_EQ(result.ok, crash == steps) << "crash before step " << crash;
        store.Reboot();

        const LoadedProfile loaded = LoadProfile(store, Cp932(), kPath);
        const std::string now = loaded.document.Serialize();
        if (loaded.status == ReadResult::Status::Missing) {
            EXPECT_EQ(old, nullptr) << "crash before step " << crash << ": the file vanished";
        } else {
            EXPECT_TRUE((old && now == *old) || now == fresh) << "crash before step " << crash << ": " << now;
        }
        if (crash == steps) {
            EXPECT_EQ(now, fresh);
        }

        // The next save after the restart succeeds over whatever the crash left behind.
        const IoResult again = SaveProfile(store, kPath, ProfileDocument::Parse(fresh, Cp932()));
        ASSERT_TRUE(again.ok) << again.error;
        EXPECT_EQ(store.files.at(kPath).data, fresh);
        EXPECT_EQ(store.files.count(kTemp), 0u);
    }
}

TEST_P(ProfileSaveFaults, FailedStepIsReportedAndLeavesTheFileUntouched) {
    const std::string* old = GetParam().exists ? &kOld : nullptr;
    const std::string fresh = NewBytes(old ? *old : "");
    const int steps = StepsOfACleanSave(old);
    for (int fail = 0; fail < steps; ++fail) {
        FakeFileStore store;
        if (old)
            store.Put(kPath, *old);
        store.failAt = fail;
        const IoResult result = SaveProfile(store, kPath, ProfileDocument::Parse(fresh, Cp932()));
        const std::string stepName = store.stepNames.at(static_cast<std::size_t>(fail));
        ASSERT_FALSE(result.ok) << "failed " << stepName;
        EXPECT_NE(result.error.find(kPath), std::string::npos) << result.error;
        EXPECT_NE(result.error.find("injected failure of " + stepName), std::string::npos) << result.error;
        EXPECT_EQ(store.files.count(kTemp), 0u) << "temporary file left after a failed " << stepName;
        if (old) {
            EXPECT_EQ(store.files.at(kPath).data, *old) << "failed " << stepName;
        } else {
            EXPECT_EQ(store.files.count(kPath), 0u) << "failed " << stepName;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Files, ProfileSaveFaults,
                         ::testing::Values(Start{"Existing", true}, Start{"Missing", false}),
                         [](const ::testing::TestParamInfo<Start>& p) { return p.param.name; });

TEST(ProfileSave, StaleTemporaryFileIsReplaced) {
    FakeFileStore store;
    store.Put(kPath, kOld);
    store.Put(kTemp, "half a file from a crash");
    const IoResult result = SaveProfile(store, kPath, ProfileDocument::Parse(NewBytes(kOld), Cp932()));
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(store.files.at(kPath).data, NewBytes(kOld));
    EXPECT_EQ(store.files.count(kTemp), 0u);
}

TEST(ProfileSave, UnicodeDocumentIsSavedAsUnicode) {
    FakeFileStore store;
    const std::string file = testing_support::Utf16File(u"[Rivo]\r\n65=a.exe\r\n");
    ProfileDocument doc = ProfileDocument::Parse(file, Cp932());
    doc.Write("Rivo", "65", "b.exe");
    ASSERT_TRUE(SaveProfile(store, kPath, doc).ok);
    EXPECT_EQ(store.files.at(kPath).data, testing_support::Utf16File(u"[Rivo]\r\n65=b.exe\r\n"));
}

TEST(ProfileSave, TheTemporaryFileFitsWhereverTheFileFits) {
    // 259 characters: the longest path MAX_PATH allows.
    const std::string deep = "C:\\" + std::string(244, 'd') + "\\\x95\x5C\\Rivo.ini";
    ASSERT_EQ(deep.size(), 259u);
    const std::string temp = TemporaryPathFor(deep);
    EXPECT_LE(temp.size(), deep.size());
    EXPECT_NE(temp, deep);
    EXPECT_EQ(FolderOfPath(temp), FolderOfPath(deep));
    for (const std::string name : {"C:\\a.tmp", "C:\\noext", "C:\\x.y\\z", "/tmp/d.d/file"}) {
        EXPECT_NE(TemporaryPathFor(name), name);
        EXPECT_EQ(FolderOfPath(TemporaryPathFor(name)), FolderOfPath(name)) << name;
    }
    EXPECT_EQ(TemporaryPathFor("/tmp/d.d/file"), "/tmp/d.d/file.tmp");
}

TEST(ProfileSave, AFolderThatRefusesNewFilesGetsTheFileWrittenInPlace) {
    const std::string shorter = "[Rivo]\r\n65=a.exe\r\n";
    const std::string longer = kOld + "; a long comment the old file does not have\r\n";
    const struct {
        const char* name;
        std::string saved;
        bool refuseRewrites;
        bool diskFull;
        const char* reason;  // of the failure; null: written
    } cases[] = {
        {"shorter: the old file's end is cut off", shorter, false, false, nullptr},
        {"longer", longer, false, false, nullptr},
        {"longer on a full disk: refused before a byte changes", longer, false, true, "disk full"},
        {"shorter on a full disk", shorter, false, true, nullptr},
        {"a file that refuses too", shorter, true, false, "denied"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeFileStore store;
        store.refuseNewFiles = true;
        store.refuseRewrites = c.refuseRewrites;
        store.diskFull = c.diskFull;
        store.Put(kPath, kOld);
        const IoResult result = SaveProfile(store, kPath, ProfileDocument::Parse(c.saved, Cp932()));
        EXPECT_EQ(store.files.count(kTemp), 0u);
        if (c.reason) {
            EXPECT_FALSE(result.ok);
            EXPECT_EQ(result.reason, c.reason);
            EXPECT_NE(result.error.find(kPath), std::string::npos) << result.error;
            EXPECT_EQ(store.files.at(kPath).data, kOld) << "untouched";
            continue;
        }
        ASSERT_TRUE(result.ok) << result.error;
        EXPECT_EQ(store.files.at(kPath).data, c.saved);
        EXPECT_EQ(store.files.at(kPath).durable, c.saved.size()) << "flushed";
    }

    // Without a file to write over, the folder's refusal is the reason reported.
    FakeFileStore empty;
    empty.refuseNewFiles = true;
    const IoResult refused = SaveProfile(empty, kPath, ProfileDocument::Parse(shorter, Cp932()));
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.reason, "denied");
    EXPECT_NE(refused.error.find(kPath), std::string::npos) << refused.error;
    EXPECT_EQ(empty.files.count(kPath), 0u);
}

// ReplaceFileW fails in three documented ways; none of them may leave no file, or drop the new one
// while the old one is gone.
TEST(ProfileSave, APartialReplaceNeverLosesTheFile) {
    const std::string fresh = NewBytes(kOld);
    const struct {
        int code;
        bool moveFailsToo;  // the move that finishes the replace fails as well
        bool saved;
    } cases[] = {{1175, false, false},
                 {1176, false, true},
                 {1177, false, true},
                 {1176, true, false},
                 {1177, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.code) + (c.moveFailsToo ? ", the move fails too" : ""));
        FakeFileStore store;
        store.Put(kPath, kOld);
        store.replaceError = c.code;
        if (c.moveFailsToo)
            store.failAt = 5;  // create, write, flush, close, replace, then the move
        const IoResult result = SaveProfile(store, kPath, ProfileDocument::Parse(fresh, Cp932()));
        EXPECT_EQ(result.ok, c.saved) << result.error;
        if (c.code == 1175) {
            EXPECT_EQ(store.files.at(kPath).data, kOld) << "nothing changed";
            EXPECT_EQ(store.files.count(kTemp), 0u);
            continue;
        }
        if (c.saved) {
            EXPECT_EQ(store.files.at(kPath).data, fresh);
            EXPECT_EQ(store.files.count(kTemp), 0u);
            continue;
        }
        EXPECT_NE(result.error.find(kPath), std::string::npos) << result.error;
        ASSERT_EQ(store.files.count(kTemp), 1u) << "the only copy of the new bytes is kept";
        EXPECT_EQ(store.files.at(kTemp).data, fresh);
        // The next start finds the new bytes and puts them in place.
        store.Reboot();
        const LoadedProfile loaded = LoadProfile(store, Cp932(), kPath);
        EXPECT_EQ(loaded.status, ReadResult::Status::Ok);
        EXPECT_EQ(loaded.document.Serialize(), fresh);
        EXPECT_EQ(store.files.at(kPath).data, fresh);
        EXPECT_EQ(store.files.count(kTemp), 0u);
    }
}

class FailingReads : public FakeFileStore {
public:
    ReadResult Read(const std::string& path) override {
        ReadResult result;
        result.status = ReadResult::Status::Error;
        result.error = "cannot read \"" + path + "\": Access is denied.";
        return result;
    }
};

TEST(ProfileLoad, ReportsMissingAndUnreadableFilesAsEmptyDocuments) {
    FakeFileStore store;
    const LoadedProfile missing = LoadProfile(store, Cp932(), kPath);
    EXPECT_EQ(missing.status, ReadResult::Status::Missing);
    EXPECT_EQ(missing.document.Serialize(), "");
    EXPECT_TRUE(missing.error.empty());

    store.Put(kPath, kOld);
    const LoadedProfile present = LoadProfile(store, Cp932(), kPath);
    EXPECT_EQ(present.status, ReadResult::Status::Ok);
    EXPECT_EQ(present.document.ReadString("Rivo", "65", ""), "a.exe");
    EXPECT_EQ(present.document.Serialize(), kOld);

    FailingReads failing;
    const LoadedProfile unreadable = LoadProfile(failing, Cp932(), kPath);
    EXPECT_EQ(unreadable.status, ReadResult::Status::Error);
    EXPECT_EQ(unreadable.document.Serialize(), "");
    EXPECT_NE(unreadable.error.find("Access is denied."), std::string::npos) << unreadable.error;
}

}  // namespace
}  // namespace rivo
