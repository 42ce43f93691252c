// Loading a profile document from a file and saving it back in one atomic step.
#pragma once

#include <string>

#include "core/code_page.h"
#include "core/file_store.h"
#include "core/profile_document.h"

namespace rivo {

struct LoadedProfile {
    ProfileDocument document;
    ReadResult::Status status;  // Ok, Missing (an empty document) or Error (an empty document)
    std::string error;          // for Error: what failed, the path and the system's reason
};

// A missing file is an empty document with status Missing; a file that cannot be read is an
// empty document with status Error and the reason.
LoadedProfile LoadProfile(FileStore& files, const CodePage& codePage, const std::string& path);

// Writes the document to `path` + ".tmp" in the same directory (a stale one is removed first),
// flushes it to the disk, closes it and puts it in place of `path` in one step. So the file is
// always either the old one or the new one. On failure the temporary file is removed, `path` is
// left as it was and the result names the step, the path and the system's reason.
IoResult SaveProfile(FileStore& files, const std::string& path, const ProfileDocument& document);

}  // namespace rivo
