// What the probe program the launcher starts reports, and how its reports are compared.
#pragma once

#include <string>
#include <vector>

namespace rivo::test {

// What the probe program wrote: where it ran, and its command line as given.
struct ProbeReport {
    std::string directory;
    std::string commandLine;
};
std::vector<ProbeReport> ProbeReports(const std::string& directory);
// How many processes of this executable name (e.g. "launch_probe.exe") are running now.
int ProcessesNamed(const char* exeName);

// A path compared as Windows compares them: case-insensitive, one trailing backslash ignored
// except after a drive letter.
bool SamePath(const std::string& a, const std::string& b);
// The program named by a command line (first token, quotes removed) and whether anything follows.
std::string ProgramOfCommandLine(const std::string& commandLine, std::string* rest = nullptr);

}  // namespace rivo::test
