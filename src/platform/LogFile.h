#pragma once
// The run history file: CP932 text with CR LF line ends, held exclusively
// while a run writes it.

#include <string>

class CLogFile {
public:
    CLogFile() = default;
    CLogFile(const CLogFile&) = delete;
    CLogFile& operator=(const CLogFile&) = delete;
    ~CLogFile() { Close(); }

    // Creates the file or empties it, and holds it exclusively until Close.
    // path is a drive-letter path, or an absolute host path ("/...") for a
    // program folder outside every drive. An open log is closed first.
    // Returns 0; ERROR_SHARING_VIOLATION when another writer (this process
    // or another) holds it -- its content is then left alone;
    // ERROR_PATH_NOT_FOUND for an unmapped drive; ERROR_ACCESS_DENIED when
    // the path is not a regular file; another error code otherwise.
    int Open(const std::string& path);

    bool IsOpen() const { return m_nFd >= 0; }
    // True when the last Open found a symbolic link at the path and put a
    // file in its place: the log is never written through a link, which
    // would empty whatever file the link names.
    bool ReplacedLink() const { return m_bReplacedLink; }

    // Writes the UTF-8 text followed by a line end, as one line: line feeds
    // at its start give blank lines before it, but every other control
    // character (CR, LF, TAB, ESC, ...) is written as a reference
    // "&#x000D;" like a character CP932 cannot hold, so a file name holding
    // a line break can never forge a line of the history. Does nothing when
    // the log is not open.
    void WriteLine(const std::string& utf8);

    // Writes the UTF-8 text as it is, except that each line feed becomes
    // CR LF; a CR LF already in the text stays CR LF (never CR CR LF), even
    // when the CR ended the previous call. No line end is added. Does
    // nothing when the log is not open.
    // A character without a CP932 form is written as "&#xHHHH;" (its code
    // point, at least four hexadecimal digits): log lines carry Linux file
    // names, which may hold any character, and the history must name the
    // file that was copied. A byte that is not valid UTF-8 is written as
    // "&#xDCHH;" (HH the byte, the usual way to carry a stray byte in a code
    // point), and a "&" that starts "&#" in the text itself as "&#x0026;",
    // so every "&#x" in the log is an escape and the text can be recovered.
    void WriteText(const std::string& utf8);

    // The first write error since Open (an error code), or 0.
    int WriteError() const { return m_nWriteError; }

    // Releases the file; each line is already on disk. Harmless when closed.
    void Close();

private:
    void Write(const std::string& utf8);
    void Emit(const std::string& bytes); // the bytes as they are, in one write

    int m_nFd = -1;
    int m_nWriteError = 0;
    bool m_bLastWasCr = false; // the last byte written was CR
    bool m_bReplacedLink = false;
};

// The CP932 bytes of a UTF-8 text, with every character CP932 cannot hold
// written as "&#xHHHH;" as the log writes it (see CLogFile::WriteText), and
// with bEscapeControls every control character as well (CLogFile::WriteLine).
std::string Cp932WithReferences(const std::string& utf8, bool bEscapeControls = false);
