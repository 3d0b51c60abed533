#pragma once
// Data shared by the archiver's tests: archives made by another LZH
// implementation (times 1614834367 = 2021-03-04 05:06:07 UTC) and generated
// contents.

#include <QByteArray>

#include <algorithm>
#include <random>
#include <string>

inline const char* kEmptyFileArchive = "2B002D6C68302D0000000000000000BF6A40602002000 04D"
                                       "0500003E2B 0C0001656D7074792E747874 0000 00";
// A folder "docs" (0x2F bytes) and "docs/hello.txt" holding "hello world\n".
inline const char* kFolderAndFileArchive =
    "2F002D6C68642D0000000000000000BF6A406020020000 4D 050000F348 030001 0800026"
    "46F6373FF 0500401000 0000"
    "33002D6C68302D0C0000000C000000BF6A40602002789 74D 050000D12D 0C000168656C6C"
    "6F2E747874 080002646F6373FF 0000"
    "68656C6C6F20776F726C640A 00";
inline const char* kLevel1Archive =
    "223F2D6C68302D0C0000000C000000C328645220010968656C6C6F2E74787478974D0000"
    "68656C6C6F20776F726C640A00";

inline std::string Hex(const char* spaced) {
    return QByteArray::fromHex(QByteArray(spaced).replace(" ", "")).toStdString();
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
