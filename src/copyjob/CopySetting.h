#pragma once
// One copy setting: everything a run needs, and its settings file
// (<program folder>\<name>.def, INI format with the sections "Spec", "LHA"
// and "OutDirList").

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CProfileReader;

class CCopySetting {
public:
    // A new record with the defaults of a new setting; with a name, the name
    // is taken and the "Spec" section is loaded at once.
    explicit CCopySetting(std::optional<std::string> name = {});

    // Each operation that takes an optional name first makes it the current
    // name. Loads read missing keys as their defaults and never fail.
    int LoadSpec(std::optional<std::string> name = {});
    int LoadLha(std::optional<std::string> name = {});
    // Saves return 1 as the program always did; LastSaveError() tells whether
    // the file was written (0) or why not (e.g. a text without a CP932 form).
    int SaveSpec(std::optional<std::string> name = {});
    int SaveLha(std::optional<std::string> name = {});
    // Returns the number of exclude folders now held.
    int LoadOutDirList(std::optional<std::string> name = {});
    // Returns the number of entries written; an empty list removes the
    // section. When the file cannot take the list (LastSaveError), 0, and
    // the file keeps the list it held.
    int SaveOutDirList(std::optional<std::string> name = {});
    // 1 when OutDirChk is on and the folder equals an exclude entry (letter
    // case and one trailing separator ignored); a subfolder does not count.
    int IsExcludedDir(const std::string& path) const;
    std::string GetDefFilePath(std::optional<std::string> name = {});

    int LastSaveError() const { return m_nLastSaveError; }
    // Keys whose values the loads refused: bytes that are not valid text of
    // the file's encoding (a damaged or foreign file). The value is kept as
    // read, so the user sees it, but no run may use it: a folder name would
    // come out with U+FFFD in it.
    std::vector<std::string> RefusedKeys() const;
    // The message that refuses a run while RefusedKeys() is not empty, or "".
    std::string RefusedKeysMessage() const;

    std::string m_strSettingName;
    std::string SrcDir;
    std::string DstDir;
    std::string WildList;
    std::vector<std::string> m_aOutDirs;
    int32_t UsedChk = 0;
    int32_t SubDirChk = 0;
    int32_t NewChk = 1;
    int32_t DustChk = 1;
    int32_t AnsChk = 0;
    int32_t LhaChk = 0;
    int32_t CopyDirChk = 0;
    int32_t AllClrChk = 0;
    int32_t OutDirChk = 0;
    std::string LhaName;
    std::string OptionStr;
    std::string FileHeder;
    int32_t LhaSubDirChk = 0; // "SubDirChk" of section "LHA"
    int32_t LhaNewChk = 1;    // "NewChk" of section "LHA"
    int32_t LhaAllClrChk = 0; // "AllClrChk" of section "LHA"
    int32_t AutoFileChk = 0;

private:
    // Records key of section as refused when its value did not decode.
    void CheckDecoded(const char* section, const std::string& key, const std::string& value);
    // A text value of the file, recorded as refused when it did not decode.
    std::string ReadText(const CProfileReader& file, const char* section, const char* key,
                         const char* defaultValue);
    void ForgetRefused(const char* section);

    int m_nLastSaveError = 0;
    std::vector<std::pair<std::string, std::string>> m_aRefused; // section, key
};
