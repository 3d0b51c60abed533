#include "command/MemberTime.h"

#include <ctime>

namespace unlha {

uint32_t DosTimeOf(int64_t unixTime) {
    auto t = static_cast<time_t>(unixTime);
    struct tm local {};
    if (localtime_r(&t, &local) == nullptr || local.tm_year < 80 || local.tm_year > 207)
        return 0;
    uint32_t date = static_cast<uint32_t>(((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) |
                                          local.tm_mday);
    uint32_t time =
        static_cast<uint32_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
    return (date << 16) | time;
}

uint32_t Level2TimeOf(int64_t unixTime) {
    return unixTime < 0              ? 0u
           : unixTime > 0xFFFFFFFFll ? 0xFFFFFFFFu
                                     : static_cast<uint32_t>(unixTime);
}

bool IsNewerThanMember(int64_t fileTime, bool memberDosTime, uint32_t memberTime) {
    if (memberDosTime)
        return DosTimeOf(fileTime) > memberTime;
    return Level2TimeOf(fileTime) > memberTime;
}

} // namespace unlha
