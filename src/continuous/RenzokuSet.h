#pragma once
// The five continuous execution sets: ordered lists of settings files kept
// in sections "Renzoku0" to "Renzoku4" of the profile "Tidewell.Ini"
// ("Count", then "File0", "File1", ... in execution order).

#include <string>
#include <vector>

inline constexpr int kRenzokuSetCount = 5;

// Fills aSet with the settings file names (with ".def") of set nIndex, in
// order, dropping entries whose file is not in the program folder. An entry
// must name one file there as written: a value that is empty, holds a
// wildcard or a separator, or does not end in ".def" (letter case ignored)
// is dropped too. The profile is not changed. Returns the number kept; 0
// for a set number outside 0 to 4.
int LoadRenzokuSet(int nIndex, std::vector<std::string>& aSet);

// Replaces set nIndex with the names (without ".def"): "Count" and one
// "File%d" = name + ".def" each, in order; no other key of the section is
// left, and the section keeps its place in the file. 0, or the error code of
// the profile write (ERROR_INVALID_PARAMETER for a set number outside 0 to
// 4); nothing is written then.
int SaveRenzokuSet(int nIndex, const std::vector<std::string>& aNames);

// A set entry as the lists show it: the name with its last four characters
// (the ".def") cut off.
std::string RenzokuEntryName(const std::string& entry);

// A line of the order shown before a continuous run: the position (from 1)
// right-aligned in three characters, " .... " and the entry's name.
std::string RenzokuOrderLine(int nPosition, const std::string& entry);
