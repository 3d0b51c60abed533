#pragma once
// Response files: the program writes them in CP932; one written by hand may
// be UTF-8.

#include <optional>
#include <string>

namespace unlha {

// Reads a response file; false when it is not a readable regular file or
// is absurdly large.
bool ReadResponseFile(const std::string& hostPath, std::string& content);

// The UTF-8 text of a response file's bytes. A file that starts with the
// UTF-8 byte-order mark (dropped), or that is valid UTF-8 and not valid
// CP932, is UTF-8; any other is CP932, so every file the program writes
// reads as it was meant. nullopt when the bytes are neither.
std::optional<std::string> DecodeResponseText(const std::string& bytes);

} // namespace unlha
