// What the side-by-side tests need to know about each corpus file: probes kernel32 cannot list,
// the places where Wine 8 reads differently from Windows, and how a write sequence must land.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace rivo::test {

struct Probe {
    std::string section;
    std::string key;
};

// A read where Wine 8 and Windows disagree: only the Windows answer is asserted, on our engine.
struct WindowsRead {
    std::string section;
    std::optional<std::string> key;    // nullopt: every key probed in the section
    std::optional<std::string> value;  // nullopt: the key is missing (the default comes back)
    std::string wineDifference;        // what Wine does instead
};

struct CorpusCase {
    std::string file{};
    std::vector<Probe> extraProbes{};
    std::vector<WindowsRead> windowsReads{};

    std::string writeSection{};
    std::string existingKey{};
    // Empty: the bytes after the write sequence are compared with kernel32's. Otherwise the Wine
    // difference that makes them differ; the Windows placement rules are then checked on our bytes
    // using the two lines below.
    std::string wineWriteDifference{};
    std::string existingLine{};  // the line holding existingKey, as in the file
    std::string anchorLine{};    // the last key line of writeSection: new keys go right after it
    // False where kernel32 cannot read back what our engine wrote for a reason of its own.
    bool kernel32ReadsBack = true;
};

const std::vector<CorpusCase>& CorpusCases();

// Names a case by its file in test output.
void PrintTo(const CorpusCase& c, std::ostream* os);

}  // namespace rivo::test
