#include "copyjob/ResponseFile.h"

#include "copyjob/ArchiveName.h"
#include "copyjob/CopySetting.h"
#include "files/PathUtils.h"

namespace {
std::string Quoted(const std::string& text) {
    return "\"" + text + "\"\r\n";
}
} // namespace

std::string ResponseFileText(const CCopySetting& setting, const std::vector<std::string>& patterns,
                             std::time_t now) {
    std::string text = setting.LhaNewChk ? "U\r\n" : "A\r\n";
    text += Quoted(ArchivePath(setting, now));
    std::string source = setting.SrcDir;
    AddBackslash(source);
    for (const std::string& pattern : patterns)
        text += Quoted(source) + Quoted(pattern);
    // No blank between the fixed switches and the user's own: a user who
    // wants one types it.
    text += (setting.LhaSubDirChk ? std::string() : std::string("-x1 -r1")) + setting.OptionStr;
    text += "\r\n";
    return text;
}
