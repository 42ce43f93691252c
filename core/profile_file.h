// Loading a profile document from a file and saving it back in one atomic step.
#pragma once

#include <cstddef>
#include <string>

#include "core/code_page.h"
#include "core/file_store.h"
#include "core/profile_document.h"

namespace rivo {

// A settings file has about 800 lines; one of more lines of their own than this (keys, headers,
// and the runs of other lines between them) is not one, and would cost memory for each.
inline constexpr std::size_t kMaxProfileLines = std::size_t{1} << 18;

struct LoadedProfile {
    ProfileDocument document;
    ReadResult::Status status;  // Ok, Missing (an empty document) or Error (an empty document)
    std::string error;          // for Error: what failed, the path and the system's reason
    std::string reason;         // for Error: the system's reason alone
    bool tooLarge = false;      // an Error: too long or too many lines to load
};

// A missing file is an empty document with status Missing, unless a save left its new bytes in
// TemporaryPathFor(path): that file is put in place and loaded. A file that cannot be read is an
// empty document with status Error and the reason. So is a file longer than the store reads, of
// more than kMaxProfileLines lines, or that memory cannot hold: too large, whatever it holds.
LoadedProfile LoadProfile(FileStore& files, const CodePage& codePage, const std::string& path);

// The temporary file a save writes first: beside `path` and no longer ("Rivo.ini" -> "Rivo.tmp"),
// so it fits wherever `path` fits (MAX_PATH). Other names get ".tmp" appended.
std::string TemporaryPathFor(const std::string& path);

// Writes the document to TemporaryPathFor(path) (a stale one is removed first), flushes it to
// the disk, closes it and puts it in place of `path` in one step. So the file is always either
// the old one or the new one. On failure the temporary file is removed, `path` is left as it was
// and the result names the step, the path and the system's reason. A replace that fails halfway
// (the old file gone, the new one still temporary) is finished with a move; if that fails too,
// the temporary file is kept, and LoadProfile takes it.
// A folder that refuses new files while `path` itself is writable gets `path` written in place:
// not atomic, but the only save there is. It is grown to its new length before a byte changes,
// so a full disk refuses it whole; the refusal itself is never waited out.
IoResult SaveProfile(FileStore& files, const std::string& path, const ProfileDocument& document);

}  // namespace rivo
