#include "copyjob/FolderValidation.h"

#include "copyjob/CopySetting.h"
#include "copyjob/RunHost.h"
#include "copyjob/RunTexts.h"
#include "files/PathUtils.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxService.h"

#include <algorithm>
#include <vector>

namespace {
const char kSourceMissing[] = "ｺﾋﾟｰ元ﾌｫﾙﾀﾞが指定されていません．";
const char kSourceInvalid[] = "ｺﾋﾟｰ元ﾌｫﾙﾀﾞ名称が不正です．";
const char kDestMissing[] = "ｺﾋﾟｰ先ﾌｫﾙﾀﾞが指定されていません．";
const char kSameFolders[] = "ｺﾋﾟｰ元ﾌｫﾙﾀﾞとｺﾋﾟｰ先ﾌｫﾙﾀﾞが同じです．";
const char kDestInvalid[] = "ｺﾋﾟｰ先ﾌｫﾙﾀﾞ名称が不正です．";
const char kOverlap[] =
    "ｺﾋﾟｰ元ﾌｫﾙﾀﾞにｺﾋﾟｰ先ﾌｫﾙﾀﾞが含まれるか、ｺﾋﾟｰ先ﾌｫﾙﾀﾞにｺﾋﾟｰ元ﾌｫﾙﾀﾞが含まれるため、"
    "[ｺﾋﾟｰ前にｺﾋﾟｰ先ﾌｫﾙﾀﾞを全ｸﾘｱする]ｵﾌﾟｼｮﾝは使用できません．"
    "ｵﾌﾟｼｮﾝ設定かﾌｫﾙﾀﾞ設定を変更してください．";

// Where a folder stands: the identity chain of the folder, or of its
// nearest existing ancestor with the names below it that do not exist yet.
struct CFolderPlace {
    std::vector<CFolderId> chain; // empty: not on any drive
    std::vector<std::string> missing;
};

CFolderPlace Locate(std::string path) {
    CFolderPlace place;
    RemoveBackslash(path);
    while (GetFolderChain(path, place.chain) != 0) {
        const size_t cut = path.rfind('\\');
        if (cut == std::string::npos || path.size() <= 3)
            return {};
        const std::string name = path.substr(cut + 1);
        if (!name.empty() && name != ".")
            place.missing.insert(place.missing.begin(), name);
        path.resize(cut < 3 ? 3 : cut);
    }
    return place;
}

// True when outer is inner or holds it, by identity.
bool Holds(const CFolderPlace& outer, const CFolderPlace& inner) {
    if (outer.chain.empty() || inner.chain.empty())
        return false;
    if (outer.missing.empty())
        return std::find(inner.chain.begin(), inner.chain.end(), outer.chain.front()) !=
               inner.chain.end();
    // A folder not made yet holds only folders below it that are not made yet.
    return outer.chain.front() == inner.chain.front() &&
           inner.missing.size() >= outer.missing.size() &&
           std::equal(outer.missing.begin(), outer.missing.end(), inner.missing.begin());
}

} // namespace

bool IsDriveForm(const std::string& path) {
    return path.size() >= 3 && path.find(":\\") == 1;
}

int FoldersOverlap(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty())
        return 1;
    const std::string upperA = UpperAscii(a);
    const std::string upperB = UpperAscii(b);
    if (upperB.find(upperA) != std::string::npos || upperA.find(upperB) != std::string::npos)
        return 1;
    const CFolderPlace placeA = Locate(a);
    const CFolderPlace placeB = Locate(b);
    return Holds(placeA, placeB) || Holds(placeB, placeA) ? 1 : 0;
}

int FoldersAreSame(const std::string& a, const std::string& b) {
    std::string textA = a;
    std::string textB = b;
    RemoveBackslash(textA);
    RemoveBackslash(textB);
    if (UpperAscii(textA) == UpperAscii(textB))
        return 1;
    const CFolderPlace placeA = Locate(a);
    const CFolderPlace placeB = Locate(b);
    return !placeA.chain.empty() && !placeB.chain.empty() &&
                   placeA.chain.front() == placeB.chain.front() && placeA.missing == placeB.missing
               ? 1
               : 0;
}

int CheckRunFolders(const CCopySetting& setting) {
    if (setting.LhaChk)
        return 0;
    if (FoldersAreSame(setting.SrcDir, setting.DstDir)) {
        WarningBox(kSameFolders);
        return 1;
    }
    if (setting.AllClrChk && FoldersOverlap(setting.SrcDir, setting.DstDir)) {
        WarningBox(kOverlap);
        return 1;
    }
    return 0;
}

int ValidateFolders(const CCopySetting& setting, int sourceOnly, IRunHost& host,
                    EFolderField* failedField) {
    auto fail = [&](const char* text, EFolderField field) {
        WarningBox(text);
        if (failedField)
            *failedField = field;
        return 1;
    };
    if (failedField)
        *failedField = EFolderField::None;
    // A value that did not decode would name a folder that does not exist.
    if (const std::string refused = setting.RefusedKeysMessage(); !refused.empty())
        return fail(refused.c_str(), EFolderField::None);
    std::string src = setting.SrcDir;
    std::string dst = setting.DstDir;
    if (src.empty())
        return fail(kSourceMissing, EFolderField::Source);
    if (!IsDriveForm(src))
        return fail(kSourceInvalid, EFolderField::Source);
    while (!FolderExists(src)) {
        if (host.MessageBox(RunText::kSourceNotReady, MB_RETRYCANCEL | MB_ICONEXCLAMATION) !=
            IDRETRY)
            return 1;
    }
    if (sourceOnly)
        return 0;
    if (dst.empty())
        return fail(kDestMissing, EFolderField::Destination);
    if (!setting.LhaChk) {
        // Another spelling, drive letter, link or bind mount of the source is
        // the same folder too: the trash option would take the source's files.
        if (FoldersAreSame(src, dst))
            return fail(kSameFolders, EFolderField::Destination);
        RemoveBackslash(src);
        RemoveBackslash(dst);
        AddBackslash(src);
        AddBackslash(dst);
    }
    if (!IsDriveForm(dst))
        return fail(kDestInvalid, EFolderField::Destination);
    if (setting.AllClrChk && FoldersOverlap(src, dst))
        return fail(kOverlap, EFolderField::None);
    return 0;
}
