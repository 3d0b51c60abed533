#pragma once
// CP932 (Shift-JIS as Windows writes it) <-> UTF-8 for the archiver, through
// glibc's iconv. The library links nothing of the program, so it carries its
// own small converter.

#include <optional>
#include <string>
#include <string_view>

namespace unlha {

// CP932 bytes of a UTF-8 text, or nullopt when a character has no CP932 form
// or the input is not valid UTF-8. Never substitutes.
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

// UTF-8 text of CP932 bytes, or nullopt when the bytes are not valid CP932.
std::optional<std::string> Cp932ToUtf8(std::string_view cp932);

// True when the bytes are valid UTF-8.
bool IsValidUtf8(std::string_view text);

// CP932 text for the report: characters without a CP932 form are written as
// "[U+XXXX]" so the report stays readable and says what was there.
std::string Utf8ToCp932ForReport(std::string_view utf8);

// Length of the longest prefix of CP932 bytes, at most maxBytes, that does
// not end inside a two-byte character.
size_t Cp932PrefixLength(std::string_view cp932, size_t maxBytes);

} // namespace unlha
