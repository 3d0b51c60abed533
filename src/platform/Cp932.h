#pragma once
// Conversion between the program's UTF-8 texts and CP932 (Shift-JIS as
// Windows writes it), the encoding of settings files, the profile, the log
// and the archiver's response file.

#include <optional>
#include <string>
#include <string_view>

// The CP932 bytes of a UTF-8 text, or nullopt when a character has no CP932
// form (or the input is not valid UTF-8). Never substitutes a character.
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

// The UTF-8 text of CP932 bytes. A byte sequence that is not valid CP932
// becomes U+FFFD, one per bad byte, so hand-edited files still load.
std::string Cp932ToUtf8(std::string_view cp932);

// True when every character of the UTF-8 text has a CP932 form.
bool IsCp932Representable(std::string_view utf8);

// Bytes the text takes in CP932 (characters without a CP932 form count 2).
size_t Cp932ByteLength(std::string_view utf8);

// The longest prefix of the text, cut at a character boundary, whose CP932
// form has at most maxBytes bytes.
std::string TruncateToCp932Bytes(std::string_view utf8, size_t maxBytes);
