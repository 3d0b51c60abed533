#include "app/AppProfile.h"

#include "files/NumberFormat.h"
#include "files/PathUtils.h"
#include "platform/Profile.h"

namespace {
const char kSection[] = "CopyInfo";
const char kUsedDef[] = "UsedDef";
const char kRenzoku[] = "Renzoku";
const char kRenzokuIndex[] = "RenzokuIndex";
} // namespace

CAppProfile ReadAppProfile() {
    const std::string path = AppProfilePath();
    CAppProfile profile;
    profile.m_bRenzoku = GetProfileInt(kSection, kRenzoku, 0, path);
    profile.m_nRenzokuIndex = GetProfileInt(kSection, kRenzokuIndex, 0, path);
    profile.m_strUsedDef = GetProfileString(kSection, kUsedDef, "", path);
    return profile;
}

int WriteAppProfile(const CAppProfile& profile) {
    const std::string path = AppProfilePath();
    // One rewrite of the file for the usual case; the keys one by one only
    // when the name is refused, so the two integers are still kept.
    const int result = WriteProfileSection(kSection,
                                           {{kUsedDef, profile.m_strUsedDef},
                                            {kRenzoku, IntToText(profile.m_bRenzoku)},
                                            {kRenzokuIndex, IntToText(profile.m_nRenzokuIndex)}},
                                           path);
    if (result == 0)
        return 0;
    const int usedDef = WriteProfileString(kSection, kUsedDef, profile.m_strUsedDef, path);
    const int renzoku = WriteProfileString(kSection, kRenzoku, IntToText(profile.m_bRenzoku), path);
    const int index =
        WriteProfileString(kSection, kRenzokuIndex, IntToText(profile.m_nRenzokuIndex), path);
    return usedDef != 0 ? usedDef : renzoku != 0 ? renzoku : index;
}
