// The monitors of the desktop as core's placement arithmetic sees them.
#pragma once

#include <vector>

#include "core/window_geometry.h"

namespace rivo {

// Every monitor with its work area, in screen coordinates; empty if the system lists none.
std::vector<MonitorArea> MonitorAreas();

}  // namespace rivo
