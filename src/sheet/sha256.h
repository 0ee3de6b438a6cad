#pragma once

// A digest of bytes that sha256sum and every other common tool agree with,
// worked out here rather than taken from a library, so that the native and the
// WebAssembly builds give it through the very same code.

#include <string>
#include <string_view>

namespace kq71wb {

// The SHA-256 digest of the bytes, as 64 lowercase hex digits.
std::string sha256Hex(std::string_view bytes);

}  // namespace kq71wb
