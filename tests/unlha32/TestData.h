#pragma once
// Data shared by the archiver's tests: archives made by another LZH program
// (times 1614834367 = 2021-03-04 05:06:07 UTC) and generated contents.

#include <QByteArray>

#include <algorithm>
#include <random>
#include <string>

inline const char* kEmptyFileArchive =
    "2B002D6C68302D0000000000000000BF6A4060200200004D0500003E2B0C0001656D7074792E747874000000";
// A folder "docs" (0x2F bytes) and "docs/hello.txt" holding "hello world\n".
inline const char* kFolderAndFileArchive =
    "2F002D6C68642D0000000000000000BF6A4060200200004D050000F348030001080002646F6373FF05004010000000"
    "33002D6C68302D0C0000000C000000BF6A4060200278974D050000D12D0C000168656C6C6F2E747874080002646F63"
    "73FF000068656C6C6F20776F726C640A00";
inline const char* kLevel1Archive =
    "223F2D6C68302D0C0000000C000000C328645220010968656C6C6F2E74787478974D000068656C6C6F20776F726C64"
    "0A00";

inline std::string Hex(const char* hex) {
    return QByteArray::fromHex(hex).toStdString();
}

inline std::string RandomBytes(size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(size, '\0');
    std::generate(s.begin(), s.end(), [&] { return static_cast<char>(rng()); });
    return s;
}

// Words from a small vocabulary: text-like, compressible, many symbols.
inline std::string WordText(size_t size, unsigned seed) {
    static const char* words[] = {"the", "archive", "folder", "copy", "of", "and", "file",
                                  "is",  "to",      "newer",  "a",    "\n", "run", "log"};
    std::mt19937 rng(seed);
    std::string s;
    while (s.size() < size)
        s += std::string(words[rng() % 14]) + ' ';
    s.resize(size);
    return s;
}
