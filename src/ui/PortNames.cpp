#include "PortNames.h"

#include "PortName.h"

#include <algorithm>
#include <cctype>

namespace vorlek::ui {

namespace {

constexpr int kComPorts = 8;

// A COM name, or the device the serial link opens for one.
bool IsComPort(const std::string& name) {
    for (int i = 1; i <= kComPorts; ++i) {
        const std::string com = "COM" + std::to_string(i);
        if (name == com || name == PortDevicePath(com))
            return true;
    }
    return false;
}

// "/dev/ttyUSB2" before "/dev/ttyUSB10".
bool NaturalLess(const std::string& a, const std::string& b) {
    auto split = [](const std::string& s) {
        std::size_t digits = s.size();
        while (digits > 0 && std::isdigit(static_cast<unsigned char>(s[digits - 1])))
            --digits;
        return digits;
    };
    const std::size_t na = split(a), nb = split(b);
    const std::string pa = a.substr(0, na), pb = b.substr(0, nb);
    if (pa != pb)
        return pa < pb;
    const std::string da = a.substr(na), db = b.substr(nb);
    if (da.size() != db.size())
        return da.size() < db.size();
    return da < db;
}

} // namespace

std::vector<std::string> PortChoices(const std::vector<std::string>& foundDevices) {
    std::vector<std::string> extra;
    for (const std::string& device : foundDevices) {
        if (!device.empty() && !IsComPort(device))
            extra.push_back(device);
    }
    std::sort(extra.begin(), extra.end(), NaturalLess);
    extra.erase(std::unique(extra.begin(), extra.end()), extra.end());

    std::vector<std::string> names;
    for (int i = 1; i <= kComPorts; ++i)
        names.push_back("COM" + std::to_string(i));
    names.insert(names.end(), extra.begin(), extra.end());
    return names;
}

} // namespace vorlek::ui
