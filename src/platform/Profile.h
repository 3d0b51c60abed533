#pragma once
// INI profile files (settings files, "Tidewell.Ini") with the rules the
// program's files were always read and written by:
// - section and key names match without regard to case;
// - a missing file or section reads as all keys missing;
// - writing a key creates file and section when needed, replaces an existing
//   value in place and appends a new key at the end of its section;
// - writing with no key removes the whole section;
// - CP932 text with CR LF line ends.
// Reading tolerates hand-edited files: LF-only line ends, a UTF-8 byte-order
// mark (the file is then read as UTF-8), blank lines, lines without "=",
// blanks around section names, keys and values. Every write goes to a
// temporary file in the same folder that is renamed over the old one, so a
// crash never leaves a half-written file. Paths are drive-letter paths.

#include <memory>
#include <optional>
#include <string>
#include <vector>

class CIniFile;

// The value of a key, or the default when file, section, key or drive is
// missing or the file cannot be read. Either is cut at a character boundary
// to at most 259 CP932 bytes, as the platform's 260-byte buffers did.
std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& defaultValue, const std::string& path);

// The leading decimal digits of the value (blanks and an optional "-" or
// "+" first), as the platform's integer reader takes them; "abc" and an
// empty value read 0, a missing key the default. Values beyond 32 bits are
// clamped to the int range.
int GetProfileInt(const std::string& section, const std::string& key, int defaultValue,
                  const std::string& path);

// Writes one key. Returns 0, or an error code: ERROR_NO_UNICODE_TRANSLATION
// when the value (or a name) has no CP932 form; ERROR_INVALID_PARAMETER for
// an empty name, a line break or NUL anywhere, "=" in the key or "]" in the
// section; ERROR_PATH_NOT_FOUND when the drive is not mapped; the read
// error when the file exists but cannot be read (a file we cannot read is
// never replaced); or the error of the write. On any error the file is left
// byte for byte as it was.
int WriteProfileString(const std::string& section, const std::string& key, const std::string& value,
                       const std::string& path);

// Removes a whole section (every section of that name). 0 when done or when
// there was no such section or file (nothing is then written), or an error
// code as for WriteProfileString.
int DeleteProfileSection(const std::string& section, const std::string& path);

// Writes several keys of one section in one rewrite of the file, in order
// (what a sequence of WriteProfileString calls would leave). 0 or error code
// as for WriteProfileString; when one key is refused none is written.
int WriteProfileSection(const std::string& section,
                        const std::vector<std::pair<std::string, std::string>>& keyValues,
                        const std::string& path);

// Replaces every section of that name with one at the end of the file
// holding keyValues, in one rewrite: what DeleteProfileSection followed by
// WriteProfileSection would leave, except that when one key is refused
// nothing is written and the old section stays. 0 or error code as for
// WriteProfileString.
int RewriteProfileSection(const std::string& section,
                          const std::vector<std::pair<std::string, std::string>>& keyValues,
                          const std::string& path);

// Makes the keys of a section exactly keyValues, in one rewrite of the
// file: a key already there keeps its line and gets the new value, a new key
// is appended at the end of the section (the section at the end of the
// file), and a key not listed loses its line. Every other line stays byte
// for byte. 0 or error code as for WriteProfileString; when one key is
// refused nothing is written.
int ReplaceProfileSectionKeys(const std::string& section,
                              const std::vector<std::pair<std::string, std::string>>& keyValues,
                              const std::string& path);

// Names of the keys of a section, in file order (empty when missing).
std::vector<std::string> GetProfileKeys(const std::string& section, const std::string& path);

// One profile file read once, for loading many keys: each read gives what
// GetProfileString / GetProfileInt give, without reading the file again
// (a settings file with thousands of exclude folders loads in one pass).
class CProfileReader {
public:
    explicit CProfileReader(const std::string& path);
    ~CProfileReader();
    CProfileReader(const CProfileReader&) = delete;
    CProfileReader& operator=(const CProfileReader&) = delete;

    std::string String(const std::string& section, const std::string& key,
                       const std::string& defaultValue) const;
    int Int(const std::string& section, const std::string& key, int defaultValue) const;
    // Keys of a section with their values (cut as String cuts them), in
    // file order, each name once.
    std::vector<std::pair<std::string, std::string>> Entries(const std::string& section) const;

private:
    std::unique_ptr<CIniFile> m_pIni;
};
