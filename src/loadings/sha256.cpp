#include "sha256.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace kq71wb {

namespace {

using Block = std::array<std::uint32_t, 8>;

// The cube roots of the first 64 primes, their fractions cut to 32 bits: any
// other constants would give a digest no other tool agrees with.
constexpr std::uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

// Four bytes as one word, first byte highest, whatever order the machine
// keeps them in: a WebAssembly build must give the native build's digest.
std::uint32_t wordAt(const unsigned char* bytes)
{
    return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 | std::uint32_t{bytes[2]} << 8 |
           std::uint32_t{bytes[3]};
}

// Stirs one 64-byte block into the state. The words are unsigned, so that
// every sum wraps at 32 bits as the digest needs rather than overflowing.
void addBlock(Block& state, const unsigned char* block)
{
    std::uint32_t w[64];
    for (int i = 0; i < 16; ++i)
        w[i] = wordAt(block + 4 * i);
    for (int i = 16; i < 64; ++i) {
        const std::uint32_t s0 = std::rotr(w[i - 15], 7) ^ std::rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const std::uint32_t s1 = std::rotr(w[i - 2], 17) ^ std::rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }

    auto [a, b, c, d, e, f, g, h] = state;
    for (int i = 0; i < 64; ++i) {
        const std::uint32_t s1 = std::rotr(e, 6) ^ std::rotr(e, 11) ^ std::rotr(e, 25);
        const std::uint32_t choice = (e & f) ^ (~e & g);
        const std::uint32_t t1 = h + s1 + choice + kRound[i] + w[i];
        const std::uint32_t s0 = std::rotr(a, 2) ^ std::rotr(a, 13) ^ std::rotr(a, 22);
        const std::uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
        const std::uint32_t t2 = s0 + majority;
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    const Block mixed = {a, b, c, d, e, f, g, h};
    for (std::size_t i = 0; i < state.size(); ++i)
        state[i] += mixed[i];
}

}  // namespace

// Whole blocks are read where the bytes lie, so that a long text is never
// copied; only the bytes of a block cut between two pieces go through a buffer.
void Sha256::add(std::string_view bytes)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t at = 0;
    m_size += bytes.size();
    if (m_pendingSize > 0) {
        for (; at < bytes.size() && m_pendingSize < m_pending.size(); ++at)
            m_pending[m_pendingSize++] = data[at];
        if (m_pendingSize < m_pending.size())
            return;
        addBlock(m_state, m_pending.data());
        m_pendingSize = 0;
    }
    for (; bytes.size() - at >= 64; at += 64)
        addBlock(m_state, data + at);
    for (; at < bytes.size(); ++at)
        m_pending[m_pendingSize++] = data[at];
}

std::string Sha256::hex() const
{
    // The rest, a 1 bit, zeros, and the length in bits in the last 8 bytes.
    // When fewer than 9 bytes are left after the rest (56 bytes or more of
    // it), the length goes to the end of a second block.
    Block state = m_state;
    std::array<unsigned char, 128> tail{};
    for (std::size_t i = 0; i < m_pendingSize; ++i)
        tail[i] = m_pending[i];
    tail[m_pendingSize] = 0x80;
    const std::size_t tailSize = m_pendingSize < 56 ? 64 : 128;
    const std::uint64_t bits = m_size * 8;
    for (std::size_t i = 0; i < 8; ++i)
        tail[tailSize - 1 - i] = static_cast<unsigned char>(bits >> (8 * i));
    addBlock(state, tail.data());
    if (tailSize == 128)
        addBlock(state, tail.data() + 64);

    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(64);
    for (const std::uint32_t word : state)
        for (int shift = 28; shift >= 0; shift -= 4)
            hex += kDigits[(word >> shift) & 0xFu];
    return hex;
}

std::string sha256Hex(std::string_view bytes)
{
    Sha256 digest;
    digest.add(bytes);
    return digest.hex();
}

}  // namespace kq71wb
