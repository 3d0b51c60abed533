#include "app/SettingListing.h"

#include "app/SettingFiles.h"
#include "app/SettingTexts.h"
#include "copyjob/CopySetting.h"
#include "copyjob/SettingFileName.h"

#include <algorithm>

namespace {

std::string LowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string Check(int32_t on, const char* caption, bool enabled) {
    return std::string(on ? "[x] " : "[ ] ") + caption + (enabled ? "" : " (無効)") + "\n";
}

} // namespace

std::vector<std::string> SettingNamesInListOrder() {
    std::vector<std::string> names;
    for (const std::string& file : ListSettingFiles())
        names.push_back(SettingNameOfFile(file).value_or(std::string()));
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return LowerAscii(a) < LowerAscii(b);
    });
    return names;
}

std::string SettingShowText(const CCopySetting& setting) {
    using namespace SettingText;
    const bool lha = setting.LhaChk != 0;
    const bool clear = setting.AllClrChk != 0;
    // The clear option unchecks and disables the four options it rules out;
    // the archive option disables every copy option and the exclusion.
    const auto ruled = [&](int32_t value) {
        return clear ? 0 : value;
    };
    std::string text;
    text += std::string(kSettingFile) + ": " + setting.m_strSettingName + "\n";
    text += std::string(kSrcDir) + ": " + setting.SrcDir + "\n";
    text += std::string(kDstDir) + ": " + setting.DstDir + "\n";
    text += std::string(kWildList) + ": " + setting.WildList + "\n";
    text += Check(ruled(setting.NewChk), kNewChk, !lha && !clear);
    text += Check(ruled(setting.UsedChk), kUsedChk, !lha && !clear);
    text += Check(setting.SubDirChk, kSubDirChk, !lha);
    text += Check(ruled(setting.AnsChk), kAnsChk, !lha && !clear);
    text += Check(ruled(setting.DustChk), kDustChk, !lha && !clear);
    text += Check(setting.CopyDirChk, kCopyDirChk, !lha);
    text += Check(setting.AllClrChk, kAllClrChk, !lha);
    text += Check(setting.OutDirChk, kOutDirChk, !lha);
    for (const std::string& folder : setting.m_aOutDirs)
        text += "    " + folder + "\n";
    text += Check(setting.LhaChk, kLhaChk, true);
    if (lha) {
        text += "    書庫ﾌｧｲﾙ名: " + setting.LhaName + "\n";
        text += "    " + Check(setting.AutoFileChk, "ﾌｧｲﾙ名を日付で自動生成する", true);
        text += "    自動生成ﾌｫｰﾏｯﾄ: " + setting.FileHeder + "\n";
        text += "    " + Check(setting.LhaSubDirChk, kSubDirChk, true);
        text += "    " + Check(setting.LhaNewChk, kNewChk, true);
        text += "    " + Check(setting.LhaAllClrChk, "ｺﾋﾟｰ前に既存書庫ﾌｧｲﾙを削除する．", true);
        text += "    追加ｵﾌﾟｼｮﾝ: " + setting.OptionStr + "\n";
    }
    return text;
}
