#pragma once
// Error codes keep the numbering the rest of the program (and its messages
// and logs) uses: the Win32 system error codes. POSIX errno values are
// mapped onto them at the point where a call fails.

#include <string>

enum : int {
    ERROR_SUCCESS = 0,
    ERROR_INVALID_FUNCTION = 1,
    ERROR_FILE_NOT_FOUND = 2,
    ERROR_PATH_NOT_FOUND = 3,
    ERROR_TOO_MANY_OPEN_FILES = 4,
    ERROR_ACCESS_DENIED = 5,
    ERROR_NOT_ENOUGH_MEMORY = 8,
    ERROR_INVALID_DRIVE = 15,
    ERROR_NOT_SAME_DEVICE = 17,
    ERROR_NOT_READY = 21,
    ERROR_WRITE_FAULT = 29,
    ERROR_READ_FAULT = 30,
    ERROR_SHARING_VIOLATION = 32,
    ERROR_LOCK_VIOLATION = 33,
    ERROR_HANDLE_DISK_FULL = 39,
    ERROR_NOT_SUPPORTED = 50,
    ERROR_FILE_EXISTS = 80,
    ERROR_INVALID_PARAMETER = 87,
    ERROR_DISK_FULL = 112,
    ERROR_INVALID_NAME = 123,
    ERROR_DIR_NOT_EMPTY = 145,
    ERROR_BUSY = 170,
    ERROR_ALREADY_EXISTS = 183,
    ERROR_FILENAME_EXCED_RANGE = 206,
    ERROR_FILE_TOO_LARGE = 223,
    ERROR_DIRECTORY = 267,
    ERROR_OPERATION_ABORTED = 995,
    ERROR_CANT_RESOLVE_FILENAME = 1921,
    ERROR_NO_UNICODE_TRANSLATION = 1113,
    ERROR_IO_DEVICE = 1117,
    ERROR_DISK_QUOTA_EXCEEDED = 1295,
};

// The error code for an errno value captured where a call failed. ENOENT
// gives ERROR_FILE_NOT_FOUND; a caller that knows the parent folder is
// missing reports ERROR_PATH_NOT_FOUND instead. 0 gives 0; an errno value
// without a closer match gives ERROR_IO_DEVICE.
int ErrorFromErrno(int err);

// The Japanese message text for an error code, without a final line end;
// empty for a code that has no text.
std::string GetSystemErrorText(int code);
