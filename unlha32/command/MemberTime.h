#pragma once
// Member times as headers hold them, and the "newer" test of command "u",
// which compares at that precision: what a header can hold is what counts,
// or an untouched file would look newer on every run.

#include <cstdint>

namespace unlha {

// The MS-DOS stamp ((date << 16) | time, local time, 2-second steps) of a
// time, as level-0/1 headers hold it; 0 before 1980.
uint32_t DosTimeOf(int64_t unixTime);

// The unsigned 32-bit seconds a level-2 header holds: times before 1970 as
// 0, times after 2106-02-07 06:28:15 UTC as that moment.
uint32_t Level2TimeOf(int64_t unixTime);

// True when the file is strictly newer than the member at the precision of
// the member's header ("u" replaces only such members).
bool IsNewerThanMember(int64_t fileTime, bool memberDosTime, uint32_t memberTime);

} // namespace unlha
