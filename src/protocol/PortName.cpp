#include "PortName.h"

namespace vorlek {

std::string PortDevicePath(std::string_view name) {
    if (name.size() == 4 && name.substr(0, 3) == "COM" && name[3] >= '1' && name[3] <= '8')
        return "/dev/ttyS" + std::string(1, static_cast<char>(name[3] - 1));
    return std::string(name);
}

} // namespace vorlek
