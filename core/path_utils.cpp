#include "core/path_utils.h"

#include <cstddef>

namespace rivo {

namespace {

// 1-based position of the last unit of `path` that is one of `delimiters` and not the second
// byte of a double-byte character; 0 when there is none. `previousIsTrail`: whether the unit
// before that position is itself a trail byte.
struct Found {
    std::size_t position = 0;
    bool previousIsTrail = false;
};

template <class Char>
Found LastDelimiter(std::basic_string_view<Char> path, std::basic_string_view<Char> delimiters) {
    Found found;
    bool previousWasTrail = false;
    for (std::size_t i = 0; i < path.size(); ++i) {
        // UTF-16 has no double-byte characters to step over.
        if constexpr (sizeof(Char) == 1) {
            if (IsCp932LeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
                i += 1;  // skip the trail byte
                previousWasTrail = true;
                continue;
            }
        }
        if (delimiters.find(path[i]) != std::basic_string_view<Char>::npos) {
            found.position = i + 1;
            found.previousIsTrail = previousWasTrail;
        }
        previousWasTrail = false;
    }
    return found;
}

template <class Char>
std::basic_string<Char> FolderOf(std::basic_string_view<Char> path, std::basic_string_view<Char> delimiters) {
    const Found found = LastDelimiter(path, delimiters);
    std::size_t length = found.position;
    if (length > 1 && path[length - 1] == Char('\\')) {
        const Char before = path[length - 2];
        if (found.previousIsTrail || (before != Char('\\') && before != Char(':'))) {
            --length;
        }
    }
    return std::basic_string<Char>(path.substr(0, length));
}

}  // namespace

std::string FolderOfPath(std::string_view path) {
    return FolderOf<char>(path, "\\:");
}

std::u16string FolderOfPath(std::u16string_view path) {
    return FolderOf<char16_t>(path, u"\\:");
}

std::string JoinPath(std::string_view directory, std::string_view file) {
    std::string path(directory);
    const Found found = LastDelimiter<char>(directory, "\\");
    if (found.position == 0 || found.position != directory.size()) {
        path += '\\';
    }
    path += file;
    return path;
}

std::string ExtensionOfPath(std::string_view path) {
    const Found found = LastDelimiter<char>(path, ".\\:");
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
