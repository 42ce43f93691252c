#include "core/profile_file.h"

#include <memory>
#include <new>
#include <optional>
#include <string>
#include <utility>

#include "core/path_utils.h"

namespace rivo {

namespace {

IoResult Failed(const std::string& path, const char* step, const IoResult& why) {
    std::string text = "settings not saved to \"" + path + "\" (" + step + "): ";
    text += why.error.empty() ? std::string("no reason given") : why.error;
    return IoResult::Fail(std::move(text), why.reason);
}

bool EqualsIgnoringAsciiCase(const std::string& a, const char* b) {
    const std::size_t length = std::char_traits<char>::length(b);
    if (a.size() != length)
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

IoResult WriteInPlace(WritableFile& file, const std::string& path, const std::string& bytes) {
    const char* step = "writing the file in place";
    IoResult result = file.Write(bytes);
    if (result.ok) {
        result = file.Flush();
        step = "flushing the file in place";
    }
    IoResult closed = file.Close();
    if (result.ok && !closed.ok) {
        result = closed;
        step = "closing the file";
    }
    return result.ok ? result : Failed(path, step, result);
}

// A save that failed halfway through its replace (or a crash inside it) leaves the new bytes
// under the temporary name with no file under the real one: they are the file. Put in place at
// once, so that the save that follows cannot take them for a stale temporary file. An empty one is
// a save that crashed before anything of it reached the disk.
ReadResult TakeTemporaryFile(FileStore& files, const std::string& path) {
    const std::string temp = TemporaryPathFor(path);
    ReadResult read = files.Read(temp);
    if (read.status == ReadResult::Status::Ok && read.bytes.empty())
        read.status = ReadResult::Status::Missing;
    if (read.status == ReadResult::Status::Ok)
        files.Replace(temp, path);
    return read;
}

}  // namespace

LoadedProfile LoadProfile(FileStore& files, const CodePage& codePage, const std::string& path) {
    const auto tooLarge = [&](std::string why) {
        return LoadedProfile{ProfileDocument(codePage),
                             ReadResult::Status::Error,
                             "cannot load \"" + path + "\": " + why,
                             {},
                             true};
    };
    try {
        ReadResult read = files.Read(path);
        if (read.status == ReadResult::Status::Missing)
            read = TakeTemporaryFile(files, path);
        switch (read.status) {
            case ReadResult::Status::Ok:
                if (std::optional<ProfileDocument> document =
                        ProfileDocument::ParseWithin(read.bytes, codePage, kMaxProfileLines)) {
                    return {*std::move(document), ReadResult::Status::Ok, {}, {}};
                }
                return tooLarge("more than " + std::to_string(kMaxProfileLines) + " lines");
            case ReadResult::Status::Missing:
                return {ProfileDocument(codePage), ReadResult::Status::Missing, {}, {}};
            case ReadResult::Status::Error:
                break;
        }
        std::string error = read.error.empty() ? "cannot read \"" + path + "\"" : std::move(read.error);
        return {ProfileDocument(codePage), ReadResult::Status::Error, std::move(error),
                std::move(read.reason), read.tooLarge};
    } catch (const std::bad_alloc&) {
        // A 32-bit process runs out of address space long before the store's limit on some files.
        return tooLarge("not enough memory");
    }
}

std::string TemporaryPathFor(const std::string& path) {
    const std::string extension = ExtensionOfPath(path);
    const bool fileExtension = extension.size() >= 4 && extension.find('/') == std::string::npos;
    if (fileExtension && !EqualsIgnoringAsciiCase(extension, ".tmp")) {
        return path.substr(0, path.size() - extension.size()) + ".tmp";
    }
    return path + ".tmp";
}

IoResult SaveProfile(FileStore& files, const std::string& path, const ProfileDocument& document) {
    const std::string temp = TemporaryPathFor(path);
    // A temporary file left by an earlier save that crashed; if it cannot go, CreateNew says why.
    files.Remove(temp);

    IoResult result;
    std::unique_ptr<WritableFile> file = files.CreateNew(temp, result);
    if (!file) {
        if (result.ok)
            result = IoResult::Fail("no file was created");
        // A refusal to create is the folder's permissions, not a program holding a file: no retry.
        if (result.denied) {
            const std::string bytes = document.Serialize();
            IoResult opened;
            if (std::unique_ptr<WritableFile> existing = files.OpenToRewrite(path, bytes.size(), opened)) {
                return WriteInPlace(*existing, path, bytes);
            }
            // Where there is no file to write over, the folder's refusal is what to report.
            if (!opened.missing)
                return Failed(path, "opening the file to write it in place", opened);
        }
        return Failed(path, "creating the temporary file", result);
    }
    const auto abandon = [&](const char* step, const IoResult& why) {
        file->Close();
        file.reset();
        files.Remove(temp);
        return Failed(path, step, why);
    };
    if (IoResult written = file->Write(document.Serialize()); !written.ok) {
        return abandon("writing the temporary file", written);
    }
    // Flushed before the replace: otherwise a power cut could leave the new name on empty data.
    if (IoResult flushed = file->Flush(); !flushed.ok)
        return abandon("flushing the temporary file", flushed);
    IoResult closed = file->Close();
    file.reset();
    if (!closed.ok) {
        files.Remove(temp);
        return Failed(path, "closing the temporary file", closed);
    }
    if (IoResult replaced = files.Replace(temp, path); !replaced.ok) {
        if (!replaced.halfway) {
            files.Remove(temp);
            return Failed(path, "replacing the file", replaced);
        }
        // The old file is gone from its name and the new bytes are only in the temporary file:
        // removing it would leave no file at all. The move is finished; where it cannot be, the
        // temporary file stays for the next load to take.
        if (IoResult moved = files.Replace(temp, path); !moved.ok) {
            return Failed(path, "moving the temporary file into place", moved);
        }
    }
    return IoResult::Ok();
}

}  // namespace rivo
