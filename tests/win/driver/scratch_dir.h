// A scratch directory under %TEMP% for one test process, removed with everything in it, and the
// file helpers the Windows tests share.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/unique_handle.h"

namespace rivo::test {

class ScratchDir {
public:
    explicit ScratchDir(std::string_view tag);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(std::string_view name) const { return path_ + "\\" + std::string(name); }

private:
    std::string path_;
};

// The bytes of a file; nullopt when it cannot be opened. The UTF-16 forms take a path code page
// 932 cannot write.
std::optional<std::string> ReadBytes(const std::string& path);
std::optional<std::string> ReadBytes(const std::wstring& path);
// Replaces the file with `bytes`; false on any failure.
bool WriteBytes(const std::string& path, std::string_view bytes);
bool WriteBytes(const std::wstring& path, std::string_view bytes);
// Dates the file's last write an hour back. Wine's profile cache never trusts a file written in
// the last two seconds and re-parses it on every call; an old file is parsed once per flush.
bool AgeFile(const std::string& path);
bool FileExists(const std::string& path);
// Paths of ours (code page 932), whatever the system's code page.
bool MakeDirectory(const std::string& path);
bool CopyTo(const std::string& from, const std::string& to);
bool RemoveFile(const std::string& path);
// Names of the files (not directories) in `dir` matching `pattern`, e.g. "*.ini".
std::vector<std::string> ListFiles(const std::string& dir, std::string_view pattern);

// A file held open as a virus scanner, indexer or sync client holds it for a moment: read access,
// sharing read and write but not delete, so replacing or renaming it fails until Release().
class HeldFile {
public:
    explicit HeldFile(const std::string& path);

    bool Held() const { return static_cast<bool>(file_); }
    void Release() { file_.reset(); }

private:
    platform::UniqueFile file_;
};

// A path of the source tree (RIVO_SOURCE_DIR, a Unix path under Wine) as Windows sees it: Wine
// maps the Unix root to drive Z:.
std::string SourcePath(std::string_view relative);

// The value of `key` in an INI file's bytes (its first "key=" line); nullopt when there is none.
std::optional<std::string> IniValue(const std::string& bytes, const std::string& key);
// A settings file of the section "Rivo" with these entries (CR LF separated).
std::string IniWith(const std::string& entries);

// `text` with every `token` in it replaced by `value`.
std::string Replaced(std::string text, const std::string& token, const std::string& value);

// Bytes shown safely in a test message: printable ASCII as is, everything else as \xNN.
std::string Printable(std::string_view bytes);

}  // namespace rivo::test
