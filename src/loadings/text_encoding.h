#pragma once

// The encodings a loadings file may come in, all turned into UTF-8: users
// write the file with whatever editor they have.

#include <optional>
#include <string>
#include <string_view>

namespace kq71wb {

// The next character of UTF-8 text from `at` (within it), moving `at` past
// it. A byte that starts no well-formed character (a stray continuation, a
// lead without its continuations, an overlong form, a surrogate, or beyond
// U+10FFFF) reads as U+FFFD, and `at` moves past that byte alone:
//   "\u00E9" -> U+00E9    "\xC3" -> U+FFFD    "\xE2\x82" -> U+FFFD, U+FFFD
char32_t nextCharacter(std::string_view text, std::size_t& at);

// Whether every byte of the text belongs to a well-formed character.
bool isValidUtf8(std::string_view text);

// Every byte as its Windows-1252 character.
std::string utf8FromWindows1252(std::string_view text);

// UTF-16 of either byte order, without its mark; a lone surrogate becomes
// U+FFFD and an odd last byte is dropped.
std::string utf8FromUtf16(std::string_view bytes, bool bigEndian);

// The byte order of UTF-16 text without a byte-order mark, told by its zero
// bytes: a loadings file is mostly ASCII, whose every other byte is then
// zero, while text in any 8-bit encoding has no zero bytes at all. Nothing
// when the bytes do not look so. (true: big end first.)
//   "\"\0N\0" -> false      "\0\"\0N" -> true      "\"N" -> nothing
std::optional<bool> utf16ByteOrder(std::string_view bytes);

// UTF-8 text without its control characters (C0 but the tab, DEL, and C1)
// and its format characters (Unicode's category Cf: the bidirectional
// overrides and isolates, zero-width characters, a byte-order mark inside the
// text). Neither shows, yet a U+202E before "006" draws it as "600" while it
// is read as 6; a weight must read as it looks. A malformed byte becomes U+FFFD.
std::string withoutControlAndFormatCharacters(std::string_view utf8);

// Whether a character is a control (C0, DEL or C1) or a format character
// (category Cf): one that shows nothing of itself, "\u200B" or "\0".
bool isControlOrFormatCharacter(char32_t codePoint);

}  // namespace kq71wb
