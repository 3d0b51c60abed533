#pragma once
// Short-lived files outside the drive map: the archiver's response file
// lives in the user's temporary folder and is deleted after the call.

#include <string>

// Creates a new, empty, uniquely named file "TDW<random>.tmp" in $TMPDIR
// (or /tmp) and returns its host path; empty when it cannot be created.
std::string MakeTempFileName();

// Replaces the whole content of an existing host file with bytes, holding
// it exclusively meanwhile. 0 or an error code.
int WriteHostFile(const std::string& hostPath, const std::string& bytes);

// Removes a host file; harmless when it is gone already.
void RemoveHostFile(const std::string& hostPath);
