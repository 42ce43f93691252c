// The launcher's registration with Windows for a restart by an installer.
#pragma once

namespace rivo {

// An installer that must replace a file loaded into the launcher (a shell extension its launches
// brought in) closes it through the Restart Manager, and starts again afterwards only the
// programs registered for it. Not after a crash or a hang (a launcher that keeps failing would
// come back for ever) nor after the reboot of an update, which starts the user's startup programs
// anyway. Looked up at run time; where the function is missing, nothing happens.
void RegisterForRestart() noexcept;

}  // namespace rivo
