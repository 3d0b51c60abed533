#include "copyjob/ArchiveName.h"

#include "copyjob/CopySetting.h"
#include "copyjob/RunTexts.h"
#include "files/PathUtils.h"
#include "platform/Cp932.h"

#include <algorithm>
#include <vector>

namespace {
const char kNameRefused[] = "書庫ﾌｧｲﾙ名 '%s' では書庫を作れません．";
const char kFormatRefused[] = "自動生成ﾌｫｰﾏｯﾄ '%s' では書庫ﾌｧｲﾙ名を作れません．";
} // namespace

std::string FormatArchiveName(const std::string& format, std::time_t now) {
    if (format.empty())
        return {};
    std::tm local{};
    localtime_r(&now, &local);
    // strftime gives 0 both for a result that does not fit and for an empty
    // one ("%p" in some locales): grow a few times before taking it as empty.
    for (size_t size = 256; size <= 65536; size *= 4) {
        std::vector<char> name(size);
        const size_t n = std::strftime(name.data(), name.size(), format.c_str(), &local);
        if (n != 0)
            return std::string(name.data(), n);
    }
    return {};
}

std::string ArchiveFileName(const CCopySetting& setting, std::time_t now) {
    return setting.AutoFileChk ? FormatArchiveName(setting.FileHeder, now) : setting.LhaName;
}

std::string ArchivePath(const CCopySetting& setting, std::time_t now) {
    std::string path = setting.DstDir;
    AddBackslash(path);
    return path + ArchiveFileName(setting, now);
}

EArchiveNameProblem CheckArchiveName(const std::string& name) {
    if (name.empty())
        return EArchiveNameProblem::Empty;
    const auto has = [&name](const char* set) {
        return name.find_first_of(set) != name.npos;
    };
    const bool control = std::any_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
    if (control || has("\""))
        return EArchiveNameProblem::Unquotable;
    if (has("\\/"))
        return EArchiveNameProblem::Separator;
    if (name == "." || name == "..")
        return EArchiveNameProblem::DotName;
    if (has("*?"))
        return EArchiveNameProblem::Pattern;
    if (!IsCp932Representable(name))
        return EArchiveNameProblem::NotShiftJis;
    return EArchiveNameProblem::None;
}

std::string ArchiveNameProblemText(EArchiveNameProblem problem) {
    switch (problem) {
    case EArchiveNameProblem::None:
        break;
    case EArchiveNameProblem::Empty:
        return "書庫ﾌｧｲﾙ名が空です．";
    case EArchiveNameProblem::Unquotable:
        return "書庫ﾌｧｲﾙ名に \" や制御文字は使えません．";
    case EArchiveNameProblem::Separator:
        return "書庫ﾌｧｲﾙ名に \\ や / は使えません．";
    case EArchiveNameProblem::DotName:
        return "書庫ﾌｧｲﾙ名に . や .. は使えません．";
    case EArchiveNameProblem::Pattern:
        return "書庫ﾌｧｲﾙ名に * や ? は使えません．";
    case EArchiveNameProblem::NotShiftJis:
        return "書庫ﾌｧｲﾙ名にShift-JISで表せない文字が含まれています．";
    }
    return {};
}

std::string ArchiveNameRefusal(int32_t autoFileChk, const std::string& lhaName,
                               const std::string& fileHeder, std::time_t now) {
    const std::string name = autoFileChk ? FormatArchiveName(fileHeder, now) : lhaName;
    const EArchiveNameProblem problem = CheckArchiveName(name);
    if (problem == EArchiveNameProblem::None)
        return {};
    return FormatWithText(autoFileChk ? kFormatRefused : kNameRefused,
                          autoFileChk ? fileHeder : lhaName) +
           "\n" + ArchiveNameProblemText(problem);
}
