#include "copyjob/CopySetting.h"

#include "copyjob/SettingFileName.h"
#include "files/NumberFormat.h"
#include "files/PathUtils.h"
#include "platform/Profile.h"

#include <map>
#include <utility>

namespace {

const char kSpec[] = "Spec";
const char kLha[] = "LHA";
const char kOutDirList[] = "OutDirList";

using KeyValues = std::vector<std::pair<std::string, std::string>>;

std::string FlagText(int32_t flag) {
    return IntToText(flag);
}

// The n of a key "OutDir<n>" (letter case ignored), written as the list
// writes it: decimal without leading zeros.
std::optional<int> OutDirIndex(const std::string& key) {
    static const std::string prefix = "OutDir";
    if (key.size() <= prefix.size() || key.size() > prefix.size() + 9 ||
        !EqualsIgnoringCase(key.substr(0, prefix.size()), prefix))
        return std::nullopt;
    const std::string digits = key.substr(prefix.size());
    if (digits.find_first_not_of("0123456789") != std::string::npos ||
        (digits.size() > 1 && digits[0] == '0'))
        return std::nullopt;
    return std::stoi(digits);
}

} // namespace

CCopySetting::CCopySetting(std::optional<std::string> name) {
    if (name) {
        m_strSettingName = *name;
        LoadSpec();
    }
}

std::string CCopySetting::GetDefFilePath(std::optional<std::string> name) {
    if (name)
        m_strSettingName = std::move(*name);
    return SettingFilePath(m_strSettingName);
}

int CCopySetting::LoadSpec(std::optional<std::string> name) {
    const std::string path = GetDefFilePath(std::move(name));
    SrcDir = GetProfileString(kSpec, "SrcDir", "", path);
    DstDir = GetProfileString(kSpec, "DstDir", "", path);
    WildList = GetProfileString(kSpec, "WildList", "*.*", path);
    UsedChk = GetProfileInt(kSpec, "UsedChk", 0, path);
    SubDirChk = GetProfileInt(kSpec, "SubDirChk", 0, path);
    AllClrChk = GetProfileInt(kSpec, "AllClrChk", 0, path);
    NewChk = GetProfileInt(kSpec, "NewChk", 1, path);
    DustChk = GetProfileInt(kSpec, "DustChk", 0, path);
    AnsChk = GetProfileInt(kSpec, "AnsChk", 0, path);
    LhaChk = GetProfileInt(kSpec, "LhaChk", 0, path);
    CopyDirChk = GetProfileInt(kSpec, "CopyDirChk", 0, path);
    OutDirChk = GetProfileInt(kSpec, "OutDirChk", 0, path);
    return 1;
}

int CCopySetting::LoadLha(std::optional<std::string> name) {
    const std::string path = GetDefFilePath(std::move(name));
    LhaName = GetProfileString(kLha, "LhaName", "*.LZH", path);
    OptionStr = GetProfileString(kLha, "OptionStr", "", path);
    FileHeder = GetProfileString(kLha, "FileHeder", "", path);
    LhaSubDirChk = GetProfileInt(kLha, "SubDirChk", 0, path);
    LhaAllClrChk = GetProfileInt(kLha, "AllClrChk", 0, path);
    LhaNewChk = GetProfileInt(kLha, "NewChk", 1, path);
    AutoFileChk = GetProfileInt(kLha, "AutoFileChk", 0, path);
    return 1;
}

int CCopySetting::SaveSpec(std::optional<std::string> name) {
    const std::string path = GetDefFilePath(std::move(name));
    const KeyValues keys = {
        {"SrcDir", SrcDir},
        {"DstDir", DstDir},
        {"WildList", WildList},
        {"UsedChk", FlagText(UsedChk)},
        {"SubDirChk", FlagText(SubDirChk)},
        {"AllClrChk", FlagText(AllClrChk)},
        {"NewChk", FlagText(NewChk)},
        {"DustChk", FlagText(DustChk)},
        {"AnsChk", FlagText(AnsChk)},
        {"LhaChk", FlagText(LhaChk)},
        {"CopyDirChk", FlagText(CopyDirChk)},
        {"OutDirChk", FlagText(OutDirChk)},
    };
    m_nLastSaveError = WriteProfileSection(kSpec, keys, path);
    return 1;
}

int CCopySetting::SaveLha(std::optional<std::string> name) {
    const std::string path = GetDefFilePath(std::move(name));
    const KeyValues keys = {
        {"LhaName", LhaName},
        {"OptionStr", OptionStr},
        {"FileHeder", FileHeder},
        {"SubDirChk", FlagText(LhaSubDirChk)},
        {"AllClrChk", FlagText(LhaAllClrChk)},
        {"NewChk", FlagText(LhaNewChk)},
        {"AutoFileChk", FlagText(AutoFileChk)},
    };
    m_nLastSaveError = WriteProfileSection(kLha, keys, path);
    return 1;
}

int CCopySetting::LoadOutDirList(std::optional<std::string> name) {
    const std::string path = GetDefFilePath(std::move(name));
    m_aOutDirs.clear();
    const int count = GetProfileInt(kOutDirList, "Count", 0, path);
    if (count <= 0)
        return 0;
    // Walk the keys that are really there rather than 0 .. Count-1, so a
    // hand-edited "Count=99999999" costs no more than the file's own size.
    std::map<int, std::string> entries;
    for (const std::string& key : GetProfileKeys(kOutDirList, path)) {
        const std::optional<int> index = OutDirIndex(key);
        if (index && *index < count && !entries.count(*index))
            entries.emplace(*index, GetProfileString(kOutDirList, key, "", path));
    }
    for (auto& [index, value] : entries)
        if (!value.empty())
            m_aOutDirs.push_back(std::move(value));
    return static_cast<int>(m_aOutDirs.size());
}

int CCopySetting::SaveOutDirList(std::optional<std::string> name) {
    const std::string path = GetDefFilePath(std::move(name));
    m_nLastSaveError = DeleteProfileSection(kOutDirList, path);
    if (m_aOutDirs.empty())
        return 0;
    KeyValues keys;
    keys.emplace_back("Count", IntToText(static_cast<int>(m_aOutDirs.size())));
    for (size_t i = 0; i < m_aOutDirs.size(); ++i)
        keys.emplace_back("OutDir" + IntToText(static_cast<int>(i)), m_aOutDirs[i]);
    m_nLastSaveError = WriteProfileSection(kOutDirList, keys, path);
    return static_cast<int>(m_aOutDirs.size());
}

int CCopySetting::IsExcludedDir(const std::string& path) const {
    if (!OutDirChk || m_aOutDirs.empty())
        return 0;
    std::string folder = path;
    RemoveBackslash(folder);
    for (const std::string& entry : m_aOutDirs) {
        std::string excluded = entry;
        RemoveBackslash(excluded);
        if (EqualsIgnoringCase(folder, excluded))
            return 1;
    }
    return 0;
}
