#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cbeam {

// UTF-8 to GBK (code page 936, the Chinese Windows ANSI code page); nothing
// when a character has no GBK form or the text is not valid UTF-8.
std::optional<std::string> Utf8ToGbk(std::string_view utf8);

// GBK to UTF-8, for reading reports back.
std::optional<std::string> GbkToUtf8(std::string_view gbk);

}  // namespace cbeam
