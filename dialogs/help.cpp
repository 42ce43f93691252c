#include "dialogs/help.h"

#include <windows.h>
#include <shellapi.h>

#include "core/names.h"
#include "platform/program_dir.h"
#include "platform/wide_text.h"

namespace rivo {

void OpenHelp(const std::string& programDir) {
    // SW_SHOWNORMAL: with show command 0 the browser would start hidden.
    ::ShellExecuteW(nullptr, nullptr, platform::Wide(name::kHelpFile).c_str(), nullptr,
                    platform::WidePath(programDir).c_str(), SW_SHOWNORMAL);
}

}  // namespace rivo
