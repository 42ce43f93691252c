#include "tests/win/driver/probe_report.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>

#include "platform/unique_handle.h"
#include "platform/wide_text.h"
#include "tests/win/driver/scratch_dir.h"

namespace rivo::test {

namespace {

std::string Unquoted(std::string text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    return text;
}

std::string WithoutTrailingBackslash(std::string path) {
    const bool driveRoot = path.size() == 3 && path[1] == ':';
    if (!driveRoot && path.size() > 1 && path.back() == '\\')
        path.pop_back();
    return path;
}

}  // namespace

std::vector<ProbeReport> ProbeReports(const std::string& directory) {
    std::vector<ProbeReport> reports;
    for (const std::string& name : ListFiles(directory, "probe-*.txt")) {
        const std::string bytes = ReadBytes(directory + "\\" + name).value_or("");
        const std::size_t firstEnd = bytes.find("\r\n");
        if (firstEnd == std::string::npos)
            continue;
        const std::size_t secondEnd = bytes.find("\r\n", firstEnd + 2);
        reports.push_back(
            {bytes.substr(0, firstEnd),
             bytes.substr(firstEnd + 2,
                          secondEnd == std::string::npos ? std::string::npos : secondEnd - firstEnd - 2)});
    }
    return reports;
}

int ProcessesNamed(const char* exeName) {
    // INVALID_HANDLE_VALUE on failure and CloseHandle to release, as a file.
    const platform::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return -1;
    int count = 0;
    const std::wstring wanted = platform::Wide(exeName);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, wanted.c_str()) == 0)
            ++count;
    }
    return count;
}

bool SamePath(const std::string& a, const std::string& b) {
    // Compared in UTF-16, as the file system compares names: a trail byte of code page 932 is no
    // letter to fold.
    const std::wstring left = platform::Wide(WithoutTrailingBackslash(a));
    const std::wstring right = platform::Wide(WithoutTrailingBackslash(b));
    return CompareStringOrdinal(left.c_str(), static_cast<int>(left.size()), right.c_str(),
                                static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

std::string ProgramOfCommandLine(const std::string& commandLine, std::string* rest) {
    std::size_t end = 0;
    if (!commandLine.empty() && commandLine.front() == '"') {
        end = commandLine.find('"', 1);
        end = end == std::string::npos ? commandLine.size() : end + 1;
    } else {
        end = std::min(commandLine.find(' '), commandLine.size());
    }
    if (rest != nullptr) {
        const std::size_t next = commandLine.find_first_not_of(' ', end);
        *rest = next == std::string::npos ? "" : commandLine.substr(next);
    }
    return Unquoted(commandLine.substr(0, end));
}

}  // namespace rivo::test
