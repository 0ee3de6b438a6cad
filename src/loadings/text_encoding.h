#pragma once

// The encodings a loadings file may come in, all turned into UTF-8: users
// write the file with whatever editor they have.

#include <string>
#include <string_view>

namespace kq71wb {

bool isValidUtf8(std::string_view text);

// Every byte as its Windows-1252 character.
std::string utf8FromWindows1252(std::string_view text);

// UTF-16 of either byte order, without its mark; a lone surrogate becomes
// U+FFFD and an odd last byte is dropped.
std::string utf8FromUtf16(std::string_view bytes, bool bigEndian);

// The text without its control characters (C0 but the tab, DEL, and C1).
std::string withoutControlCharacters(std::string_view utf8);

}  // namespace kq71wb
