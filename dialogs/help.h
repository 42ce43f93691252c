// The help page, opened from the tray menu and from the options dialog.
#pragma once

#include <string>

namespace rivo {

// Opens help.html of `programDir` with the program the shell associates with it. A failure is
// not reported: the user sees that no page opened.
void OpenHelp(const std::string& programDir);

}  // namespace rivo
