#pragma once

// The encodings a loadings file may come in, all turned into UTF-8: users
// write the file with whatever editor they have.

#include <string>
#include <string_view>

namespace kq71wb {

bool isValidUtf8(std::string_view text);

// Every byte as its Windows-1252 character.
std::string utf8FromWindows1252(std::string_view text);

}  // namespace kq71wb
