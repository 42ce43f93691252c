// The message the user sees for a command the shell could not start.
#pragma once

#include "core/key_dispatch.h"

namespace rivo {

const char* ShellStartMessage(ShellStartError error);

}  // namespace rivo
