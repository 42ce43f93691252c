// The program's entry: one launcher at a time, its windows, the message loop.
#pragma once

namespace rivo {

// Returns the exit code: 1 when another launcher already runs, 0 otherwise.
int RunLauncher();

}  // namespace rivo
