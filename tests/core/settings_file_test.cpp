#include "core/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/posix_code_page.h"
#include "core/posix_file_store.h"
#include "core/profile_document.h"
#include "core/profile_file.h"

namespace rivo {
namespace {

// The window as the settings file sees it; remembers the order of the moves it was given.
class FakeWindow : public WindowPosition {
public:
    std::int32_t top = 0;
    std::int32_t left = 0;
    std::vector<std::string> moves;

    std::int32_t WindowTop() const override { return top; }
    std::int32_t WindowLeft() const override { return left; }
    void MoveWindowTop(std::int32_t value) override {
        top = value;
        moves.push_back("top " + std::to_string(value));
    }
    void MoveWindowLeft(std::int32_t value) override {
        left = value;
        moves.push_back("left " + std::to_string(value));
    }
};

struct State {
    TRivoMainSet mainSet;
    KeyStringTable commands;
    KeyStringTable workDirs;
    FakeWindow window;

    SettingsTarget Target() { return {mainSet, commands, workDirs, window}; }
};

const PosixCp932CodePage& Cp932() {
    static const PosixCp932CodePage codePage;
    return codePage;
}

State Loaded(const std::string& fileText) {
    State state;
    state.commands.fill("stale");
    state.workDirs.fill("stale");
    state.mainSet.Filter.fill(7);
    ApplySettings(ProfileDocument::Parse(fileText, Cp932()), state.Target());
    return state;
}

std::string Saved(State& state, const std::string& fileText = "") {
    ProfileDocument profile = ProfileDocument::Parse(fileText, Cp932());
    StoreSettings(profile, state.Target());
    return profile.Serialize();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

TEST(SettingsPath, AppendsTheFileNameToTheDirectoryUnchanged) {
    EXPECT_EQ(SettingsPath("C:\\Tools\\Rivo"), "C:\\Tools\\Rivo\\Rivo.ini");
    EXPECT_EQ(SettingsPath("D:\\"), "D:\\\\Rivo.ini");
}

TEST(LoadSettings, MissingFileGivesTheDefaults) {
    State state = Loaded("");
    for (int k = 0; k < kKeyCount; ++k) {
        EXPECT_EQ(state.commands[k], "") << k;
        EXPECT_EQ(state.workDirs[k], "") << k;
        const bool forced = k == 16 || k == 17 || k == 45 || k == 46;
        EXPECT_EQ(state.mainSet.Filter[k], forced ? 1 : 0) << k;
    }
    EXPECT_EQ(state.mainSet.Key1, 16);
    EXPECT_EQ(state.mainSet.Key2, 17);
    EXPECT_EQ(state.mainSet.SetKey, 45);
    EXPECT_EQ(state.mainSet.EndKey, 46);
    EXPECT_EQ(state.mainSet.FormType, 0);
    EXPECT_EQ(state.window.moves, (std::vector<std::string>{"top 0", "left 0"}));
}

TEST(LoadSettings, OtherSectionsAreNotRead) {
    State state = Loaded("[Other]\r\n65=notepad.exe\r\nKey1=20\r\n");
    EXPECT_EQ(state.commands[65], "");
    EXPECT_EQ(state.mainSet.Key1, 16);
}

TEST(LoadSettings, PartialFileKeepsDefaultsForWhatIsMissing) {
    State state = Loaded(
        "[Rivo]\r\n65=C:\\Windows\\notepad.exe\r\n365=C:\\Windows\r\n665=1\r\nTop=-5\r\nLeft=120\r\n"
        "Key2=0x12\r\n");
    EXPECT_EQ(state.commands[65], "C:\\Windows\\notepad.exe");
    EXPECT_EQ(state.workDirs[65], "C:\\Windows");
    EXPECT_EQ(state.mainSet.Filter[65], 1);
    EXPECT_EQ(state.mainSet.Filter[66], 0);
    EXPECT_EQ(state.window.moves, (std::vector<std::string>{"top -5", "left 120"}));
    EXPECT_EQ(state.mainSet.Key1, 16);
    EXPECT_EQ(state.mainSet.Key2, 18);
    EXPECT_EQ(state.mainSet.Filter[18], 1) << "the call-up keys are always filtered";
}

struct NumericCase {
    const char* file;
    std::int32_t key1, key2, setKey, endKey;
    int formType;
    int filter0;
};

class NumericEntries : public ::testing::TestWithParam<NumericCase> {};

TEST_P(NumericEntries, ConvertAndReduceLikeTheLauncher) {
    const NumericCase& c = GetParam();
    State state = Loaded(std::string("[Rivo]\r\n") + c.file);
    EXPECT_EQ(state.mainSet.Key1, c.key1);
    EXPECT_EQ(state.mainSet.Key2, c.key2);
    EXPECT_EQ(state.mainSet.SetKey, c.setKey);
    EXPECT_EQ(state.mainSet.EndKey, c.endKey);
    EXPECT_EQ(state.mainSet.FormType, c.formType);
    EXPECT_EQ(state.mainSet.Filter[0], c.filter0);
}

INSTANTIATE_TEST_SUITE_P(
    HandEdited, NumericEntries,
    ::testing::Values(
        NumericCase{"Key1=0x11\r\n", 17, 17, 45, 46, 0, 0}, NumericCase{"600=257\r\n", 16, 17, 45, 46, 0, 1},
        NumericCase{"600=2\r\n", 16, 17, 45, 46, 0, 2}, NumericCase{"FormType=258\r\n", 16, 17, 45, 46, 2, 0},
        NumericCase{"FormType=$3\r\n", 16, 17, 45, 46, 3, 0},
        // Not numbers: each entry takes its own default, the others still load.
        NumericCase{"Key1=shift\r\nKey2=\r\nSetKey=45 \r\nEndKey=0x2F\r\nFormType=one\r\n600=yes\r\n", 16, 17,
                    45, 47, 0, 0},
        // Keys outside 0-255 keep their low 8 bits, so no table is indexed out of range.
        NumericCase{"Key1=300\r\nKey2=-1\r\nSetKey=$FFFFFF2D\r\nEndKey=256\r\n", 44, 255, 45, 0, 0, 1}));

TEST(LoadSettings, ValuesAreReadWhole) {
    const std::string longCommand = "C:\\" + std::string(300, 'x') + "\\tool.exe";
    State state = Loaded("[Rivo]\r\n70=" + longCommand + "\r\n");
    EXPECT_EQ(state.commands[70], longCommand);
    EXPECT_EQ(Lines(Saved(state))[3 * 70 + 1], "70=" + longCommand);
}

TEST(SaveSettings, FirstSaveWritesAll775EntriesInOrder) {
    State state = Loaded("");
    state.window.top = -3;
    state.window.left = 200;
    const std::vector<std::string> lines = Lines(Saved(state));
    ASSERT_EQ(lines.size(), 1u + 775u);
    EXPECT_EQ(lines[0], "[Rivo]");
    for (int k = 0; k < kKeyCount; ++k) {
        const bool forced = k == 16 || k == 17 || k == 45 || k == 46;
        EXPECT_EQ(lines[1 + 3 * k], std::to_string(k) + "=");
        EXPECT_EQ(lines[2 + 3 * k], std::to_string(k + 300) + "=");
        EXPECT_EQ(lines[3 + 3 * k], std::to_string(k + 600) + (forced ? "=1" : "=0"));
    }
    const std::vector<std::string> tail(lines.end() - 7, lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"Top=-3", "Left=200", "Key1=16", "Key2=17", "SetKey=45",
                                              "EndKey=46", "FormType=0"}));
}

TEST(SaveSettings, WritesNumbersInTheirPlainForms) {
    State state = Loaded("[Rivo]\r\nKey1=0x11\r\n600=257\r\nFormType=258\r\n");
    const std::string saved = Saved(state, "[Rivo]\r\nKey1=0x11\r\n600=257\r\nFormType=258\r\n");
    const std::vector<std::string> lines = Lines(saved);
    EXPECT_EQ(lines[1], "Key1=17");
    EXPECT_EQ(lines[2], "600=1");
    EXPECT_EQ(lines[3], "FormType=2");
}

TEST(SaveSettings, LoadThenSaveOfASavedFileIsIdentical) {
    State first = Loaded("");
    first.commands[0x45] = "C:\\Program Files\\Editor\\edit.exe";
    first.workDirs[0x45] = "C:\\Program Files\\Editor";
    first.commands[0x70] = "\x95\x5C\\\x83\x5C\\memo.txt";  // 表\ソ\memo.txt: trail bytes 0x5C
    first.mainSet.Filter[0x20] = 1;
    first.window.top = 40;
    first.window.left = -8;
    const std::string saved = Saved(first);

    State second = Loaded(saved);
    EXPECT_EQ(second.commands[0x70], first.commands[0x70]);
    second.window.top = 40;
    second.window.left = -8;
    EXPECT_EQ(Saved(second, saved), saved);
}

TEST(SaveSettings, UnknownEntriesAndSectionsSurvive) {
    const std::string original =
        "; written by hand\r\n"
        "[Before]\r\nx=1\r\n"
        "[Rivo]\r\n256=kept 256\r\n299=kept 299\r\n556=kept 556\r\n599=kept 599\r\nColour=blue\r\n"
        "65=old.exe\r\n"
        "[After]\r\n\x95\x5C=\x83\x5C\x83\x5D\r\n";
    State state = Loaded(original);
    EXPECT_EQ(state.commands[65], "old.exe");
    state.commands[65] = "new.exe";
    const std::string saved = Saved(state, original);
    const std::vector<std::string> lines = Lines(saved);
    EXPECT_EQ(lines[0], "; written by hand");
    EXPECT_EQ(lines[1], "[Before]");
    EXPECT_EQ(lines[2], "x=1");
    EXPECT_EQ(lines[3], "[Rivo]");
    EXPECT_EQ(lines[4], "256=kept 256");
    EXPECT_EQ(lines[5], "299=kept 299");
    EXPECT_EQ(lines[6], "556=kept 556");
    EXPECT_EQ(lines[7], "599=kept 599");
    EXPECT_EQ(lines[8], "Colour=blue");
    EXPECT_EQ(lines[9], "65=new.exe") << "an existing entry is replaced in place";
    EXPECT_NE(saved.find("[After]\r\n\x95\x5C=\x83\x5C\x83\x5D\r\n"), std::string::npos);
    // The section's new entries come after its last line, before [After].
    EXPECT_LT(saved.find("0=\r\n"), saved.find("[After]"));
    EXPECT_EQ(ProfileDocument::Parse(saved, Cp932()).ReadString("After", "\x95\x5C", ""), "\x83\x5C\x83\x5D");
}

class SettingsFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("rivo-settings-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        path_ = (dir_ / "Rivo.ini").string();
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(dir_, ignored);
    }
    std::string ReadBack() const {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void WriteFile(const std::string& bytes) const { std::ofstream(path_, std::ios::binary) << bytes; }

    std::filesystem::path dir_;
    std::string path_;
    PosixFileStore files_;
};

TEST_F(SettingsFileOnDisk, MissingFileLoadsDefaultsAndFirstSaveCreatesIt) {
    State state;
    EXPECT_TRUE(LoadSettingsFile(files_, Cp932(), path_, state.Target()).ok);
    EXPECT_EQ(state.mainSet.Key1, 16);
    state.commands[0x41] = "a.exe";
    ASSERT_TRUE(SaveSettingsFile(files_, Cp932(), path_, state.Target()).ok);
    const std::string bytes = ReadBack();
    EXPECT_EQ(bytes.rfind("[Rivo]\r\n0=\r\n300=\r\n600=0\r\n", 0), 0u);
    EXPECT_NE(bytes.find("\r\n65=a.exe\r\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "Rivo.tmp"));
}

TEST_F(SettingsFileOnDisk, SaveRereadsTheFileSoHandEditsOfUnknownEntriesSurvive) {
    WriteFile("[Rivo]\r\n65=a.exe\r\n");
    State state;
    ASSERT_TRUE(LoadSettingsFile(files_, Cp932(), path_, state.Target()).ok);
    // Edited by hand while the launcher runs: the unknown entry survives, the known one is ours.
    WriteFile("[Rivo]\r\n65=edited.exe\r\nNote=hello\r\n");
    ASSERT_TRUE(SaveSettingsFile(files_, Cp932(), path_, state.Target()).ok);
    const std::vector<std::string> lines = Lines(ReadBack());
    EXPECT_EQ(lines[1], "65=a.exe");
    EXPECT_EQ(lines[2], "Note=hello");
}

TEST_F(SettingsFileOnDisk, FailedSaveReportsTheReasonAndKeepsTheOldFile) {
    WriteFile("[Rivo]\r\n65=a.exe\r\n");
    State state;
    ASSERT_TRUE(LoadSettingsFile(files_, Cp932(), path_, state.Target()).ok);
    state.commands[0x41] = "b.exe";
    // A path whose directory does not exist cannot be written, for root too.
    const std::string missingDir = (dir_ / "gone" / "Rivo.ini").string();
    const SettingsFileResult result = SaveSettingsFile(files_, Cp932(), missingDir, state.Target());
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("gone"), std::string::npos) << result.error;
    EXPECT_EQ(ReadBack(), "[Rivo]\r\n65=a.exe\r\n");
    EXPECT_EQ(state.commands[0x41], "b.exe") << "the state in memory is untouched";
}

// Files on disk whose first `failingReads` reads fail, as when a scanner or sync client holds the
// file for a moment.
class BusyAtFirst : public FileStore {
public:
    int failingReads = 1;

    ReadResult Read(const std::string& path) override {
        if (failingReads > 0) {
            --failingReads;
            ReadResult busy;
            busy.status = ReadResult::Status::Error;
            busy.error = "cannot open \"" + path + "\": in use";
            busy.reason = "in use";
            return busy;
        }
        return disk_.Read(path);
    }
    std::unique_ptr<WritableFile> CreateNew(const std::string& path, IoResult& result) override {
        return disk_.CreateNew(path, result);
    }
    std::unique_ptr<WritableFile> OpenToRewrite(const std::string& path, std::uint64_t size,
                                                IoResult& result) override {
        return disk_.OpenToRewrite(path, size, result);
    }
    IoResult Replace(const std::string& from, const std::string& to) override {
        return disk_.Replace(from, to);
    }
    IoResult Remove(const std::string& path) override { return disk_.Remove(path); }

private:
    PosixFileStore disk_;
};

TEST_F(SettingsFileOnDisk, AFileUnreadableAtStartIsMergedNotWiped) {
    const std::string original =
        "; mine\r\n[Rivo]\r\n65=a.exe\r\n365=C:\\A\r\n66=b.exe\r\nKey1=18\r\nTop=40\r\n";
    WriteFile(original);
    BusyAtFirst files;
    SettingsFile settings;
    State state;
    const SettingsFileResult loaded = settings.Load(files, Cp932(), path_, state.Target());
    EXPECT_FALSE(loaded.ok);
    EXPECT_TRUE(loaded.unreadable);
    EXPECT_EQ(loaded.reason, "in use");
    EXPECT_EQ(state.mainSet.Key1, 16) << "the launcher starts with the defaults";

    // Changed in this run: two registrations (one over an entry of the file) and the window.
    state.commands[0x42] = "new.exe";
    state.commands[0x43] = "c.exe";
    state.workDirs[0x43] = "C:\\C";
    state.window.left = 7;
    const SettingsFileResult saved = settings.Save(files, Cp932(), path_, state.Target());
    ASSERT_TRUE(saved.ok) << saved.error;
    ProfileDocument file = ProfileDocument::Parse(ReadBack(), Cp932());
    EXPECT_EQ(file.ReadString("Rivo", "65", "?"), "a.exe");
    EXPECT_EQ(file.ReadString("Rivo", "365", "?"), "C:\\A");
    EXPECT_EQ(file.ReadString("Rivo", "66", "?"), "new.exe");
    EXPECT_EQ(file.ReadString("Rivo", "67", "?"), "c.exe");
    EXPECT_EQ(file.ReadString("Rivo", "367", "?"), "C:\\C");
    EXPECT_EQ(file.ReadString("Rivo", "Key1", "?"), "18");
    EXPECT_EQ(file.ReadString("Rivo", "Top", "?"), "40");
    EXPECT_EQ(file.ReadString("Rivo", "Left", "?"), "7");
    EXPECT_EQ(ReadBack().rfind("; mine\r\n[Rivo]\r\n65=a.exe\r\n", 0), 0u);
    // The state took the file's entries, so the launcher now starts what the user registered.
    EXPECT_EQ(state.commands[0x41], "a.exe");
    EXPECT_EQ(state.mainSet.Key1, 18);
    EXPECT_EQ(state.window.top, 40);
    EXPECT_EQ(state.window.left, 7);

    // From now on a save is the ordinary kind: a deletion in this run reaches the file.
    state.commands[0x41].clear();
    ASSERT_TRUE(settings.Save(files, Cp932(), path_, state.Target()).ok);
    EXPECT_EQ(ProfileDocument::Parse(ReadBack(), Cp932()).ReadString("Rivo", "65", "?"), "");
}

TEST_F(SettingsFileOnDisk, ASaveIsRefusedWhileTheFileStaysUnreadable) {
    const std::string original = "[Rivo]\r\n65=a.exe\r\n";
    WriteFile(original);
    BusyAtFirst files;
    files.failingReads = 2;
    SettingsFile settings;
    State state;
    EXPECT_FALSE(settings.Load(files, Cp932(), path_, state.Target()).ok);
    state.commands[0x42] = "b.exe";
    const SettingsFileResult refused = settings.Save(files, Cp932(), path_, state.Target());
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.unreadable);
    EXPECT_EQ(refused.reason, "in use");
    EXPECT_EQ(ReadBack(), original);
    EXPECT_TRUE(settings.LoadFailed()) << "the next save must still merge";

    ASSERT_TRUE(settings.Save(files, Cp932(), path_, state.Target()).ok);
    ProfileDocument file = ProfileDocument::Parse(ReadBack(), Cp932());
    EXPECT_EQ(file.ReadString("Rivo", "65", "?"), "a.exe");
    EXPECT_EQ(file.ReadString("Rivo", "66", "?"), "b.exe");
}

// Memory for a file grows with its lines of their own (keys, headers, and the runs of other lines
// between them), not with its line breaks; past the limits the file counts as unreadable.
TEST_F(SettingsFileOnDisk, ALargeFileLoadsWhileItFitsAndIsNeverWrittenOverWhenItDoesNot) {
    const std::string manyKeys = [] {
        std::string file = "[Rivo]\r\n65=a.exe\r\n";
        for (std::size_t n = 0; n < kMaxProfileLines; ++n)
            file += "=\r\n";
        return file;
    }();
    const struct {
        const char* name;
        std::string file;  // empty: a file one byte longer than a store reads, of zeros
        bool fits;
    } cases[] = {
        {"four million line breaks", "[Rivo]\r\n65=a.exe\r\n" + std::string(4000000, '\n'), true},
        {"too many keys", manyKeys, false},
        {"longer than a store reads", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.file.empty()) {
            WriteFile("");
            std::filesystem::resize_file(path_, kMaxReadBytes + 1);
        } else {
            WriteFile(c.file);
        }
        const auto size = std::filesystem::file_size(path_);
        SettingsFile settings;
        State state;
        const SettingsFileResult loaded = settings.Load(files_, Cp932(), path_, state.Target());
        state.commands[0x42] = "b.exe";
        const SettingsFileResult saved = settings.Save(files_, Cp932(), path_, state.Target());
        if (c.fits) {
            EXPECT_TRUE(loaded.ok) << loaded.error;
            EXPECT_EQ(state.commands[0x41], "a.exe");
            ASSERT_TRUE(saved.ok) << saved.error;
            const std::string bytes = ReadBack();
            // The new entries go after the last key, above the line breaks, which are all kept.
            const std::string breaks(4000000, '\n');
            ASSERT_GT(bytes.size(), breaks.size());
            EXPECT_EQ(bytes.compare(bytes.size() - breaks.size(), breaks.size(), breaks), 0);
            EXPECT_EQ(bytes.rfind("[Rivo]\r\n65=a.exe\r\n", 0), 0u);
            EXPECT_EQ(ProfileDocument::Parse(bytes, Cp932()).ReadString("Rivo", "66", "?"), "b.exe");
            continue;
        }
        EXPECT_FALSE(loaded.ok);
        EXPECT_TRUE(loaded.unreadable);
        EXPECT_TRUE(loaded.tooLarge);
        EXPECT_NE(loaded.error.find(path_), std::string::npos) << loaded.error;
        EXPECT_EQ(state.commands[0x41], "") << "the launcher runs with the defaults";
        EXPECT_EQ(state.mainSet.Key1, 16);
        EXPECT_FALSE(saved.ok);
        EXPECT_TRUE(saved.unreadable);
        EXPECT_TRUE(saved.tooLarge);
        EXPECT_EQ(std::filesystem::file_size(path_), size) << "never written over";
        if (!c.file.empty()) {
            EXPECT_EQ(ReadBack(), c.file);
        }
        EXPECT_FALSE(std::filesystem::exists(dir_ / "Rivo.tmp"));
    }
}

}  // namespace
}  // namespace rivo
