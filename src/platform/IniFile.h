#pragma once
// An INI document in memory, for the profile service and the drive map.
// It keeps every line of the file it was read from, so a rewrite changes
// only the lines a write touches: comments, lines without "=", blank lines
// and unreadable bytes survive byte for byte.
//
// Reading rules (chosen for hand-edited files):
// - lines end at LF; a CR before it is dropped, so LF-only files read too;
// - a line whose first non-blank character is "[" and that holds a "]" is a
//   section header; the name is the text between them, blanks trimmed;
// - a line with "=" is a key line: name before the first "=", value after
//   it, both with blanks (space, tab) trimmed; no quotes are stripped, so a
//   value reads back exactly as it was written;
// - any other line is kept but means nothing; key lines before the first
//   section belong to no section;
// - names match with ASCII letters folded (Japanese names compare exactly);
//   with duplicate sections or keys the first one counts;
// - a file starting with a UTF-8 byte-order mark is read as UTF-8, any
//   other as CP932.
// Writing: every line ends in CR LF. A file read as UTF-8 with its mark is
// written back as UTF-8 with its mark -- its other lines may hold characters
// CP932 lacks, and converting them would lose them -- but a written name or
// value must still have a CP932 form, so the file can be converted later
// and the program's other files (log, archiver list) can hold the value.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CIniFile {
public:
    enum class EEncoding { Cp932, Utf8WithBom };

    // Largest file Load accepts; a profile is a few kilobytes, so a bigger
    // file is refused rather than read into memory whole.
    static constexpr size_t kMaxFileBytes = 64u * 1024u * 1024u;

    // Replaces the document with the lines of the raw file bytes. Never fails:
    // bytes that decode to nothing become U+FFFD in names and values read,
    // and stay as they are in the lines no write touches.
    void Parse(std::string_view bytes);

    // Reads the file at a host path. 0 on success; ERROR_FILE_NOT_FOUND (the
    // document is then empty, which callers treat as "no keys") or another
    // error code (document empty as well): a folder, a device or a file over
    // kMaxFileBytes is refused without being read.
    int Load(const std::string& hostPath);

    // Value of a key (UTF-8), or nullopt when section or key is missing or
    // the key is empty.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;

    // Sets a key: replaces the first line of that key in the first section of
    // that name in place, or appends the key after the last key line of the
    // section, or appends the section at the end of the document. Returns 0;
    // ERROR_NO_UNICODE_TRANSLATION when a name or the value has no CP932
    // form; ERROR_INVALID_PARAMETER for an empty name, a section name with
    // "]", a key with "=", or any text with a line break or NUL (they would
    // change the file's structure). The document is unchanged on failure.
    int Set(std::string_view section, std::string_view key, std::string_view value);

    // Removes every section of that name with all its lines. True when one
    // was found.
    bool RemoveSection(std::string_view section);

    // Removes every line of that key from every section of that name (a
    // duplicate would otherwise take its place). True when one was found.
    bool RemoveKey(std::string_view section, std::string_view key);

    // Names of the keys of the first section of that name, in file order,
    // each name once (first spelling).
    std::vector<std::string> Keys(std::string_view section) const;

    // The keys of the first section of that name with their values (as Get
    // gives them, empty values included), in file order, each name once:
    // one pass over the section, however many keys it holds.
    std::vector<std::pair<std::string, std::string>> Entries(std::string_view section) const;

    // True when a section of that name exists (even with no keys).
    bool HasSection(std::string_view section) const;

    // The file bytes of the document: every line ends in CR LF; a UTF-8
    // document starts with its byte-order mark.
    std::string Serialize() const;

    // Writes Serialize() to the host path atomically: a temporary file in the
    // same folder, flushed to disk, then renamed over the old file. An
    // existing file keeps its permission bits (and owner, where allowed); a
    // symbolic link is followed, so the link stays and its target changes.
    // 0 or the error code of the failing step; the old file is then
    // untouched and no temporary file is left behind.
    int Save(const std::string& hostPath) const;

    EEncoding Encoding() const { return m_eEncoding; }
    size_t LineCount() const { return m_aLines.size(); }

private:
    enum class EKind { Other, Section, Key };
    struct CLine {
        EKind kind = EKind::Other;
        std::string strRaw;     // the line's bytes in the file's encoding, no line end
        std::string strName;    // section or key name, UTF-8, trimmed
        size_t nValueStart = 0; // key lines: offset of the trimmed value in strRaw
        size_t nValueLength = 0;
    };

    CLine ParseLine(std::string_view raw) const;
    std::string Decode(std::string_view raw) const;
    std::optional<std::string> Encode(std::string_view utf8) const;
    // Index of the first header of the section, or npos.
    size_t FindSection(std::string_view section) const;
    // One past the last line of the section whose header is at index.
    size_t SectionEnd(size_t header) const;

    std::vector<CLine> m_aLines;
    EEncoding m_eEncoding = EEncoding::Cp932;
};

// True when two section or key names are the same name: ASCII letters
// compared without regard to case, every other byte exactly.
bool IniNamesEqual(std::string_view a, std::string_view b);
