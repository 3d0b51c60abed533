#ifndef UNLHA32_H
#define UNLHA32_H
/* Public interface of libunlha32.so, the LZH archiver library. The program
 * loads it at run time by name and looks the two entry points up. */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Runs one archiver command. cmdLine holds the command letter, the archive
 * path, base folders with their file patterns and switches, or "@" and the
 * path of a response file holding them one per line (CP932, CR LF). The
 * report (CP932 text, CR LF lines) is written zero-terminated into output,
 * never more than outputSize bytes in all; output may be null when
 * outputSize is 0. Returns 0 when the archive was written (or left as it
 * was because nothing changed), else an error code (0x8000 range). */
int Unlha(void* hwnd, const char* cmdLine, char* output, uint32_t outputSize);

/* Version as major * 100 + minor. */
uint16_t UnlhaGetVersion(void);

#ifdef __cplusplus
}
#endif

#endif
