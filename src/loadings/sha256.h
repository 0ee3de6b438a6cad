#pragma once

// A digest of bytes that sha256sum and every other common tool agree with,
// worked out here rather than taken from a library, so that the native and the
// WebAssembly builds give it through the very same code.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kq71wb {

// The SHA-256 digest of bytes given in pieces of any size, as a file is read,
// so that a file of any length is digested whole without being held whole.
class Sha256 {
public:
    void add(std::string_view bytes);
    // The digest of every byte added, as 64 lowercase hex digits.
    std::string hex() const;

private:
    std::array<std::uint32_t, 8> m_state = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                            0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::array<unsigned char, 64> m_pending{};  // the bytes after the last whole block
    std::size_t m_pendingSize = 0;
    std::uint64_t m_size = 0;
};

// The SHA-256 digest of the bytes, as 64 lowercase hex digits.
std::string sha256Hex(std::string_view bytes);

}  // namespace kq71wb
