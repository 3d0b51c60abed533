#pragma once
// The large-volume query of old FAT32 systems, kept so the capacity check
// reads the same everywhere; on this system it reports "not available".

#include <cstdint>

// The register block of the DOS device query.
struct CDosRegisters {
    uint32_t reg_EBX = 0;
    uint32_t reg_EDX = 0;
    uint32_t reg_ECX = 0;
    uint32_t reg_EAX = 0;
    uint32_t reg_EDI = 0;
    uint32_t reg_ESI = 0;
    uint32_t reg_Flags = 0;
};

// 1 on the old family of systems that has the query, else 0 (always 0 here).
int IsWindows9x();

// The DOS device query: 0 on success, else an error code; 5 here, where the
// device does not exist.
int Vwin32DosIoctl(unsigned controlCode, CDosRegisters& registers);
