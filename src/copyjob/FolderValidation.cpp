#include "copyjob/FolderValidation.h"

#include "copyjob/CopySetting.h"
#include "copyjob/RunHost.h"
#include "copyjob/RunTexts.h"
#include "files/PathUtils.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxService.h"

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

// True when host folder inner is outer or lies below it.
bool HostFolderHolds(const std::string& outer, const std::string& inner) {
    if (outer.empty() || inner.empty())
        return false;
    if (outer == "/" || outer == inner)
        return true;
    return inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0 &&
           inner[outer.size()] == '/';
}

// The host folder a path names with every symbolic link resolved; a folder
// that does not exist yet resolves through its nearest existing ancestor.
std::string ResolvedHostFolder(std::string path) {
    std::string suffix;
    while (path.size() > 3) {
        RemoveBackslash(path);
        const std::string canonical = CanonicalHostPath(path);
        if (!canonical.empty())
            return canonical == "/" ? "/" + suffix
                                    : canonical + (suffix.empty() ? "" : "/" + suffix);
        const size_t cut = path.rfind('\\');
        if (cut == std::string::npos)
            break;
        const std::string name = path.substr(cut + 1);
        suffix = suffix.empty() ? name : name + "/" + suffix;
        path.resize(cut + 1);
    }
    const std::string root = CanonicalHostPath(path);
    if (root.empty())
        return {};
    if (suffix.empty())
        return root;
    return root == "/" ? "/" + suffix : root + "/" + suffix;
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
    const std::string hostA = ResolvedHostFolder(a);
    const std::string hostB = ResolvedHostFolder(b);
    return HostFolderHolds(hostA, hostB) || HostFolderHolds(hostB, hostA) ? 1 : 0;
}

int ValidateFolders(const CCopySetting& setting, int sourceOnly, IRunHost& host,
                    int* focusControl) {
    int focus = 0;
    auto fail = [&](const char* text, int control) {
        WarningBox(text);
        focus = control;
        if (focusControl)
            *focusControl = focus;
        return 1;
    };
    if (focusControl)
        *focusControl = 0;
    // A value that did not decode would name a folder that does not exist.
    if (const std::string refused = setting.RefusedKeysMessage(); !refused.empty())
        return fail(refused.c_str(), 0);
    std::string src = setting.SrcDir;
    std::string dst = setting.DstDir;
    if (src.empty())
        return fail(kSourceMissing, IDC_SRC_DIR);
    if (!IsDriveForm(src))
        return fail(kSourceInvalid, IDC_SRC_DIR);
    while (!FolderExists(src)) {
        if (host.MessageBox(RunText::kSourceNotReady, MB_RETRYCANCEL | MB_ICONEXCLAMATION) !=
            IDRETRY)
            return 1;
    }
    if (sourceOnly)
        return 0;
    if (dst.empty())
        return fail(kDestMissing, IDC_DST_DIR);
    if (!setting.LhaChk) {
        RemoveBackslash(src);
        RemoveBackslash(dst);
        if (UpperAscii(src) == UpperAscii(dst))
            return fail(kSameFolders, IDC_DST_DIR);
        AddBackslash(src);
        AddBackslash(dst);
    }
    if (!IsDriveForm(dst))
        return fail(kDestInvalid, IDC_DST_DIR);
    if (setting.AllClrChk && FoldersOverlap(src, dst))
        return fail(kOverlap, 0);
    return 0;
}
