#include "tests/win/driver/scratch_dir.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "platform/unique_handle.h"
#include "platform/wide_text.h"

namespace rivo::test {

namespace {

// In UTF-16 throughout: a test may leave names code page 932 cannot write (Łódź) behind.
void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring path = dir + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(dir.c_str());
}

}  // namespace

ScratchDir::ScratchDir(std::string_view tag) {
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH, temp);
    std::string base = platform::Narrow(std::wstring_view(temp, length));
    if (!base.empty() && base.back() == '\\') {
        base.pop_back();
    }
    for (unsigned attempt = 0;; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, "\\rivo-%lu-%u-", GetCurrentProcessId(), attempt);
        path_ = base + name + std::string(tag);
        if (CreateDirectoryW(platform::Wide(path_).c_str(), nullptr)) {
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS || attempt > 1000) {
            std::fprintf(stderr, "cannot create scratch directory %s\n", path_.c_str());
            return;
        }
    }
}

HeldFile::HeldFile(const std::string& path)
    : file_(CreateFileW(platform::Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}

ScratchDir::~ScratchDir() {
    RemoveTree(platform::Wide(path_));
}

std::optional<std::string> ReadBytes(const std::string& path) {
    return ReadBytes(platform::Wide(path));
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
    // Full sharing, delete included: a test that reads Rivo.ini while the launcher replaces it must
    // not make the launcher's replace fail (it would report the save as failed).
    platform::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return std::nullopt;
    }
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got != 0) {
        bytes.append(chunk, got);
    }
    return bytes;
}

bool WriteBytes(const std::string& path, std::string_view bytes) {
    return WriteBytes(platform::Wide(path), bytes);
}

bool WriteBytes(const std::wstring& path, std::string_view bytes) {
    platform::UniqueFile file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    DWORD written = 0;
    return bytes.empty() ||
           (WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size());
}

bool AgeFile(const std::string& path) {
    platform::UniqueFile file(CreateFileW(platform::Wide(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER time;
    time.LowPart = now.dwLowDateTime;
    time.HighPart = now.dwHighDateTime;
    time.QuadPart -= 3600ull * 10000000ull;
    FILETIME old;
    old.dwLowDateTime = time.LowPart;
    old.dwHighDateTime = time.HighPart;
    return SetFileTime(file.get(), nullptr, nullptr, &old) != FALSE;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesW(platform::Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeDirectory(const std::string& path) {
    return CreateDirectoryW(platform::Wide(path).c_str(), nullptr) != FALSE;
}

bool CopyTo(const std::string& from, const std::string& to) {
    return CopyFileW(platform::Wide(from).c_str(), platform::Wide(to).c_str(), FALSE) != FALSE;
}

bool RemoveFile(const std::string& path) {
    return DeleteFileW(platform::Wide(path).c_str()) != FALSE;
}

std::vector<std::string> ListFiles(const std::string& dir, std::string_view pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(platform::Wide(dir + "\\" + std::string(pattern)).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            names.push_back(platform::Narrow(found.cFileName));
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::string SourcePath(std::string_view relative) {
    std::string path = RIVO_SOURCE_DIR;
    if (!path.empty() && path.front() == '/') {
        path = "Z:" + path;
    }
    path += '/';
    path += relative;
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

std::string Printable(std::string_view bytes) {
    std::string text;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            text += static_cast<char>(c);
        } else if (c == '\\') {
            text += "\\\\";
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            text += hex;
        }
    }
    return text;
}

std::optional<std::string> IniValue(const std::string& bytes, const std::string& key) {
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos)
            end = bytes.size();
        const std::string line = bytes.substr(start, end - start);
        if (line.size() > key.size() && line.compare(0, key.size(), key) == 0 && line[key.size()] == '=')
            return line.substr(key.size() + 1);
        start = end + 2;
    }
    return std::nullopt;
}

std::string IniWith(const std::string& entries) {
    return "[Rivo]\r\n" + entries;
}

std::string Replaced(std::string text, const std::string& token, const std::string& value) {
    for (std::size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + value.size()))
        text.replace(at, token.size(), value);
    return text;
}

}  // namespace rivo::test
