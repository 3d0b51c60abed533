#include "continuous/RenzokuSet.h"

#include "copyjob/SettingFileName.h"
#include "files/NumberFormat.h"
#include "files/PathUtils.h"
#include "platform/AsciiCase.h"
#include "platform/Profile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

std::string SectionOf(int nIndex) {
    return "Renzoku" + IntToText(nIndex);
}

bool IsSetNumber(int nIndex) {
    return nIndex >= 0 && nIndex < kRenzokuSetCount;
}

// A hand-edited "*.def" would pass the existence test for any settings
// file, and "..\x.def" would reach outside the folder.
bool NamesOneSettingsFile(const std::string& value) {
    const size_t extension = sizeof kSettingFileExtension - 1;
    return value.size() > extension && value.find_first_of("*?\\/") == std::string::npos &&
           EqualsIgnoringCase(value.substr(value.size() - extension), kSettingFileExtension);
}

} // namespace

int LoadRenzokuSet(int nIndex, std::vector<std::string>& aSet) {
    aSet.clear();
    if (!IsSetNumber(nIndex))
        return 0;
    const CProfileReader profile(AppProfilePath());
    const std::string section = SectionOf(nIndex);
    const int count = profile.Int(section, "Count", 0);
    // The "File%d" keys the section holds, by number: a huge "Count" costs
    // nothing, as the entries it names beyond these all read empty.
    std::map<long, std::string> files;
    for (auto& [key, value] : profile.Entries(section)) {
        const long number = std::strtol(key.c_str() + std::min<size_t>(key.size(), 4), nullptr, 10);
        if (number >= 0 && number < count &&
            EqualsIgnoringCase(key, "File" + IntToText(static_cast<int>(number))))
            files.emplace(number, std::move(value));
    }
    std::string folder = GetProgramFolder();
    AddBackslash(folder);
    for (const auto& [number, value] : files)
        if (NamesOneSettingsFile(value) && FileExists(folder + value))
            aSet.push_back(value);
    return static_cast<int>(aSet.size());
}

int SaveRenzokuSet(int nIndex, const std::vector<std::string>& aNames) {
    if (!IsSetNumber(nIndex))
        return ERROR_INVALID_PARAMETER;
    std::vector<std::pair<std::string, std::string>> keys;
    keys.emplace_back("Count", IntToText(static_cast<int>(aNames.size())));
    for (size_t i = 0; i < aNames.size(); ++i)
        keys.emplace_back("File" + IntToText(static_cast<int>(i)),
                          aNames[i] + kSettingFileExtension);
    return ReplaceProfileSectionKeys(SectionOf(nIndex), keys, AppProfilePath());
}

std::string RenzokuEntryName(const std::string& entry) {
    return entry.substr(0, entry.size() < 4 ? 0 : entry.size() - 4);
}

std::string RenzokuOrderLine(int nPosition, const std::string& entry) {
    char number[16];
    std::snprintf(number, sizeof number, "%3d", nPosition);
    return std::string(number) + " .... " + RenzokuEntryName(entry);
}
