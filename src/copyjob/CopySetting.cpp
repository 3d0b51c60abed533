#include "copyjob/CopySetting.h"

#include "copyjob/RunTexts.h"
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

// What the reader makes of bytes that are no character of the file's encoding.
const char kReplacement[] = "\xEF\xBF\xBD";
const char kRefusedValues[] = "設定ﾌｧｲﾙ %s の %k の値に Shift-JIS として正しくないﾊﾞｲﾄがあります．"
                              "設定ﾌｧｲﾙを確認してください．";

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
    const CProfileReader file(GetDefFilePath(std::move(name)));
    ForgetRefused(kSpec);
    SrcDir = ReadText(file, kSpec, "SrcDir", "");
    DstDir = ReadText(file, kSpec, "DstDir", "");
    WildList = ReadText(file, kSpec, "WildList", "*.*");
    UsedChk = file.Int(kSpec, "UsedChk", 0);
    SubDirChk = file.Int(kSpec, "SubDirChk", 0);
    AllClrChk = file.Int(kSpec, "AllClrChk", 0);
    NewChk = file.Int(kSpec, "NewChk", 1);
    DustChk = file.Int(kSpec, "DustChk", 0);
    AnsChk = file.Int(kSpec, "AnsChk", 0);
    LhaChk = file.Int(kSpec, "LhaChk", 0);
    CopyDirChk = file.Int(kSpec, "CopyDirChk", 0);
    OutDirChk = file.Int(kSpec, "OutDirChk", 0);
    return 1;
}

int CCopySetting::LoadLha(std::optional<std::string> name) {
    const CProfileReader file(GetDefFilePath(std::move(name)));
    ForgetRefused(kLha);
    LhaName = ReadText(file, kLha, "LhaName", "*.LZH");
    OptionStr = ReadText(file, kLha, "OptionStr", "");
    FileHeder = ReadText(file, kLha, "FileHeder", "");
    LhaSubDirChk = file.Int(kLha, "SubDirChk", 0);
    LhaAllClrChk = file.Int(kLha, "AllClrChk", 0);
    LhaNewChk = file.Int(kLha, "NewChk", 1);
    AutoFileChk = file.Int(kLha, "AutoFileChk", 0);
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
    // One reading of the file for the whole list: a list of thousands of
    // folders must not cost a reading per entry.
    const CProfileReader file(GetDefFilePath(std::move(name)));
    m_aOutDirs.clear();
    ForgetRefused(kOutDirList);
    const int count = file.Int(kOutDirList, "Count", 0);
    if (count <= 0)
        return 0;
    // Walk the keys that are really there rather than 0 .. Count-1, so a
    // hand-edited "Count=99999999" costs no more than the file's own size.
    std::map<int, std::string> entries;
    for (auto& [key, value] : file.Entries(kOutDirList)) {
        const std::optional<int> index = OutDirIndex(key);
        if (index && *index < count && !entries.count(*index)) {
            CheckDecoded(kOutDirList, key, value);
            entries.emplace(*index, std::move(value));
        }
    }
    for (auto& [index, value] : entries)
        if (!value.empty())
            m_aOutDirs.push_back(std::move(value));
    return static_cast<int>(m_aOutDirs.size());
}

int CCopySetting::SaveOutDirList(std::optional<std::string> name) {
    const std::string path = GetDefFilePath(std::move(name));
    KeyValues keys;
    if (!m_aOutDirs.empty())
        keys.emplace_back("Count", IntToText(static_cast<int>(m_aOutDirs.size())));
    for (size_t i = 0; i < m_aOutDirs.size(); ++i)
        keys.emplace_back("OutDir" + IntToText(static_cast<int>(i)), m_aOutDirs[i]);
    // One rewrite: a folder the file cannot hold (a name with "é") leaves
    // the stored list as it was instead of deleting it.
    m_nLastSaveError = RewriteProfileSection(kOutDirList, keys, path);
    return m_nLastSaveError == 0 ? static_cast<int>(m_aOutDirs.size()) : 0;
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

void CCopySetting::CheckDecoded(const char* section, const std::string& key,
                                const std::string& value) {
    if (value.find(kReplacement) != std::string::npos)
        m_aRefused.emplace_back(section, key);
}

std::string CCopySetting::ReadText(const CProfileReader& file, const char* section, const char* key,
                                   const char* defaultValue) {
    std::string value = file.String(section, key, defaultValue);
    CheckDecoded(section, key, value);
    return value;
}

void CCopySetting::ForgetRefused(const char* section) {
    std::erase_if(m_aRefused, [&](const auto& refused) { return refused.first == section; });
}

std::vector<std::string> CCopySetting::RefusedKeys() const {
    std::vector<std::string> keys;
    for (const auto& refused : m_aRefused)
        keys.push_back(refused.second);
    return keys;
}

std::string CCopySetting::RefusedKeysMessage() const {
    if (m_aRefused.empty())
        return {};
    std::string keys;
    for (const auto& refused : m_aRefused)
        keys += (keys.empty() ? "" : ", ") + refused.second;
    std::string text = FormatWithText(kRefusedValues, m_strSettingName + ".def");
    return text.replace(text.find("%k"), 2, keys);
}
