#pragma once

#include <string>
#include <vector>

namespace vorlek::ui {

// The names offered in the port box: "COM1" to "COM8", then the serial devices
// found on the machine that are not among those (USB adapters and the like),
// by their device paths in natural order. /dev/ttyS0 to /dev/ttyS7 are the COM
// ports themselves and are not offered twice.
std::vector<std::string> PortChoices(const std::vector<std::string>& foundDevices);

} // namespace vorlek::ui
