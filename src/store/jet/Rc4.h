// The RC4 stream cipher, as Jet uses it to hide the header and, in encrypted files, every page.
#pragma once

#include <cstdint>
#include <span>

namespace vorlek::jet {

// Encrypting and decrypting are the same operation.
void Rc4Apply(std::span<const std::uint8_t> key, std::span<std::uint8_t> data);

} // namespace vorlek::jet
