#include "Header.h"

#include "Database.h"
#include "Messages.h"
#include "PageFile.h"
#include "Rc4.h"

#include <cmath>
#include <cstring>

namespace vorlek::jet {

namespace {

constexpr std::size_t kHiddenStart = 0x18;
constexpr std::size_t kHiddenLength = 0x80;
constexpr std::uint8_t kHeaderKey[4] = {0xC7, 0xDA, 0x39, 0x6B};
constexpr char kMagic[] = "Standard Jet DB";
constexpr std::size_t kPasswordAt = 0x42;
constexpr std::size_t kPasswordLength = 40;
constexpr std::size_t kCreatedAt = 0x72;

void Reveal(Bytes& page) {
    Rc4Apply(kHeaderKey, std::span(page).subspan(kHiddenStart, kHiddenLength));
}

// An empty password is stored as the whole days of the creation date, repeated.
std::uint32_t PasswordMask(double created) {
    if (!std::isfinite(created) || created < -2.0e9 || created > 2.0e9)
        return 0;
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(created));
}

} // namespace

Header ParseHeader(const Bytes& raw, std::uint64_t fileSize, const std::string& path) {
    const auto bad = [&] { return JetError(msg::Unrecognized(path)); };
    if (raw.size() != kPageSize || fileSize < 3 * kPageSize || fileSize % kPageSize != 0)
        throw bad();
    if (raw[0] != 0 || raw[1] != 1 || raw[2] != 0 || raw[3] != 0 ||
        std::memcmp(raw.data() + 4, kMagic, sizeof kMagic) != 0 || raw[0x14] != 1)
        throw bad();
    Bytes page = raw;
    Reveal(page);
    Header h;
    h.codePage = Get16(page, 0x3C);
    h.databaseKey = Get32(page, 0x3E);
    h.sortOrder = Get32(page, 0x6E);
    std::uint64_t bits = Get64(page, kCreatedAt);
    std::memcpy(&h.created, &bits, sizeof bits);
    const std::uint32_t mask = PasswordMask(h.created);
    for (std::size_t i = 0; i < kPasswordLength; ++i) {
        const auto m = static_cast<std::uint8_t>(mask >> (8 * (i % 4)));
        if ((page[kPasswordAt + i] ^ m) != 0)
            throw JetError(msg::kBadPassword);
    }
    return h;
}

Bytes BuildHeaderPage(const Header& h) {
    Bytes page(kPageSize, 0);
    page[1] = 1;
    std::memcpy(page.data() + 4, kMagic, sizeof kMagic);
    page[0x14] = 1;
    // What Access keeps at the start of the hidden block.
    const std::uint8_t leading[] = {0x00, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00,
                                    0x02, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00,
                                    0x04, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00};
    std::memcpy(page.data() + kHiddenStart, leading, sizeof leading);
    Put16(page, 0x3C, h.codePage);
    Put32(page, 0x3E, h.databaseKey);
    const std::uint32_t mask = PasswordMask(h.created);
    for (std::size_t i = 0; i < kPasswordLength; i += 4)
        Put32(page, kPasswordAt + i, mask);
    Put32(page, 0x6A, 0x2341);
    Put32(page, 0x6E, h.sortOrder);
    std::uint64_t bits = 0;
    std::memcpy(&bits, &h.created, sizeof bits);
    Put64(page, kCreatedAt, bits);
    Put32(page, 0x98, 0x0654);
    std::memcpy(page.data() + 0x9C, "4.0", 4);
    page[0xE00] = 0x15;
    page[0xE01] = 0x01;
    for (std::size_t i = 0xE03; i < kPageSize; i += 2)
        page[i] = 0x01;
    Reveal(page);
    return page;
}

} // namespace vorlek::jet
