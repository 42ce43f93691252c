#include "core/path_utils.h"

#include <cstddef>

namespace rivo {

namespace {

// 1-based position of the last byte of `path` that is one of `delimiters` and not the second
// byte of a double-byte character; 0 when there is none. `trail` (if given) receives whether the
// byte before that position is itself a trail byte.
struct Found {
    std::size_t position = 0;
    bool previousIsTrail = false;
};

Found LastDelimiter(std::string_view path, std::string_view delimiters, LeadByteTest isLeadByte) {
    Found found;
    bool previousWasTrail = false;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if (isLeadByte(byte) && i + 1 < path.size()) {
            i += 1;  // skip the trail byte
            previousWasTrail = true;
            continue;
        }
        if (delimiters.find(static_cast<char>(byte)) != std::string_view::npos) {
            found.position = i + 1;
            found.previousIsTrail = previousWasTrail;
        }
        previousWasTrail = false;
    }
    return found;
}

}  // namespace

std::string FolderOfPath(std::string_view path, LeadByteTest isLeadByte) {
    const Found found = LastDelimiter(path, "\\:", isLeadByte);
    std::size_t length = found.position;
    if (length > 1 && path[length - 1] == '\\') {
        const char before = path[length - 2];
        if (found.previousIsTrail || (before != '\\' && before != ':')) {
            --length;
        }
    }
    return std::string(path.substr(0, length));
}

std::string JoinPath(std::string_view directory, std::string_view file, LeadByteTest isLeadByte) {
    std::string path(directory);
    const Found found = LastDelimiter(directory, "\\", isLeadByte);
    if (found.position == 0 || found.position != directory.size()) {
        path += '\\';
    }
    path += file;
    return path;
}

std::string ExtensionOfPath(std::string_view path, LeadByteTest isLeadByte) {
    const Found found = LastDelimiter(path, ".\\:", isLeadByte);
    if (found.position == 0 || path[found.position - 1] != '.') {
        return {};
    }
    return std::string(path.substr(found.position - 1));
}

std::optional<std::string> RegistrablePath(std::u16string_view path, std::u16string_view shortPath,
                                           const CodePage& codePage) {
    if (std::optional<std::string> whole = codePage.FromUtf16(path)) {
        return whole;
    }
    if (!shortPath.empty()) {
        return codePage.FromUtf16(shortPath);
    }
    return std::nullopt;
}

}  // namespace rivo
