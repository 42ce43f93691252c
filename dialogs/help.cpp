#include "dialogs/help.h"

#include <windows.h>
#include <shellapi.h>

#include "core/names.h"

namespace rivo {

void OpenHelp(const std::string& programDir) {
    // SW_SHOWNORMAL: with show command 0 the browser would start hidden.
    ::ShellExecuteA(nullptr, nullptr, name::kHelpFile, nullptr, programDir.c_str(), SW_SHOWNORMAL);
}

}  // namespace rivo
