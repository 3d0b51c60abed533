#pragma once
// Result codes of the archiver, numbered as the program's error table knows
// them.

namespace unlha {

enum : int {
    RESULT_OK = 0,
    RESULT_FILE_OPEN = 0x800D,       // a source file could not be opened or read
    RESULT_HEADER_CHECKSUM = 0x8016, // header checksum or CRC of an existing member is wrong
    RESULT_HEADER_BROKEN = 0x8017,   // a member header of the existing archive is broken
    RESULT_ARCHIVE_OPEN = 0x8018,    // the archive cannot be opened or written
    RESULT_NO_ARCHIVE_NAME = 0x8019, // no usable archive name
    RESULT_ARCHIVE_READ = 0x801A,    // read error on the existing archive
    RESULT_NOT_LZH = 0x801B,         // an existing file that is not an LZH archive
    RESULT_BAD_COMMAND = 0x801C,     // wrong command letter or switch
    RESULT_NO_MEMORY = 0x801D,       // out of memory
    RESULT_BUSY = 0x801F,            // another call is running
    RESULT_RESPONSE_FILE = 0x802A,   // the response file cannot be read
    RESULT_WORK_FILE = 0x8025,       // the temporary archive cannot be created
    RESULT_PATH_TOO_LONG = 0x8026,   // a path or stored name is too long
    RESULT_READ_ONLY = 0x8027,       // the archive is read-only: access denied
    RESULT_NAME_REQUIRED = 0x802B,   // no file patterns, or nothing matched
};

} // namespace unlha
