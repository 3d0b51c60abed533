#pragma once
// Section "CopyInfo" of the application profile "Tidewell.Ini" in the
// program folder: what the main window remembers from one session to the
// next. Only the main window's start (read) and its proper close (write)
// use it.

#include "files/PathUtils.h" // AppProfilePath

#include <string>

struct CAppProfile {
    std::string m_strUsedDef; // "UsedDef": settings name shown at the last close
    int m_bRenzoku = 0;       // "Renzoku": continuous mode
    int m_nRenzokuIndex = 0;  // "RenzokuIndex": selected continuous execution set
};

// Reads section "CopyInfo". Never fails: a missing file or key gives its
// default (empty name, 0, 0); an integer without leading digits reads 0.
CAppProfile ReadAppProfile();

// Writes the three keys of section "CopyInfo" (creating file and section
// when needed) with the integers as plain decimal text. Returns 0, or the
// error of the first key that was refused; a refused "UsedDef" (a name
// without a CP932 form) does not keep the two integer keys from being
// written, and leaves its previous value in the file.
int WriteAppProfile(const CAppProfile& profile);
