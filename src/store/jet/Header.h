// Page 0: the database definition page. Its bytes 0x18..0x97 are hidden with a fixed RC4 key.
#pragma once

#include "Bytes.h"

#include <cstdint>
#include <string>

namespace vorlek::jet {

struct Header {
    std::uint16_t codePage = 0x04E4;  // Windows-1252, what Access writes
    std::uint32_t sortOrder = 0x0409; // "General"
    std::uint32_t databaseKey = 0;    // non-zero: the other pages are RC4-encrypted
    double created = 0;               // days since 1899-12-30
};

// Throws JetError: "Unrecognized database format" for anything but a Jet 4 file, "Not a valid
// password." when a database password is set.
Header ParseHeader(const Bytes& page0, std::uint64_t fileSize, const std::string& path);

// A page 0 as Access writes it for a new database.
Bytes BuildHeaderPage(const Header& header);

} // namespace vorlek::jet
