#pragma once

#include <string>
#include <string_view>

namespace vorlek {

// The port box offers the Windows names COM1 to COM8; here they stand for the
// first eight on-board serial ports. Any other text is a device path already.
std::string PortDevicePath(std::string_view name);

} // namespace vorlek
