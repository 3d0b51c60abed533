#include "app/SettingNames.h"

#include "copyjob/SettingFileName.h"
#include "files/PathUtils.h"
#include "platform/Cp932.h"

#include <cstring>

const char* const kForbiddenCharWarning =
    "保存名称はﾌｧｲﾙ名称として使用するため、下記の文字を含んではいけません．\n\n"
    "使用出来ない文字 (半角のみ)  ；：？，＜＞＊￥｜／";

namespace {

constexpr const char* kForbiddenChars = ";:?,<>*\\|/";
constexpr size_t kMaxPathBytes = 259;     // a path with its terminating zero fits 260
constexpr size_t kMaxHostNameBytes = 255; // one component of a Linux path

// Names are UTF-8, where a byte below 0x80 is always a whole character, so
// a byte search sees exactly the characters a double-byte aware search of
// the CP932 form would: no trail byte of another character can match.
bool HasCharOf(const std::string& text, const char* set) {
    for (const char* p = set; *p; ++p) {
        if (text.find(*p) != std::string::npos)
            return true;
    }
    return false;
}

bool HasControlChar(const std::string& text) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            return true;
    }
    return false;
}

} // namespace

ESettingNameProblem CheckSettingName(const std::string& name) {
    // Bytes that are not UTF-8 are no characters to search: refuse them first.
    if (!IsCp932Representable(name))
        return ESettingNameProblem::NoCp932Form;
    if (HasCharOf(name, kForbiddenChars))
        return ESettingNameProblem::ForbiddenChar;
    if (HasControlChar(name))
        return ESettingNameProblem::ControlChar;
    if (name == "." || name == "..")
        return ESettingNameProblem::DotName;
    const std::string fileName = name + kSettingFileExtension;
    if (fileName.size() > kMaxHostNameBytes ||
        Cp932ByteLength(GetProgramFolder() + fileName) > kMaxPathBytes)
        return ESettingNameProblem::TooLong;
    return ESettingNameProblem::None;
}

bool HasForbiddenChar(const std::string& name) {
    return CheckSettingName(name) != ESettingNameProblem::None;
}

std::string SettingNameWarning(ESettingNameProblem problem) {
    switch (problem) {
    case ESettingNameProblem::None:
        return {};
    case ESettingNameProblem::ForbiddenChar:
        return kForbiddenCharWarning;
    case ESettingNameProblem::ControlChar:
        return "保存名称に制御文字を含んではいけません．";
    case ESettingNameProblem::NoCp932Form:
        return "保存名称にShift-JISで表せない文字を含んではいけません．";
    case ESettingNameProblem::DotName:
        return "保存名称に「.」や「..」は使用出来ません．";
    case ESettingNameProblem::TooLong:
        return "保存名称が長すぎます．";
    }
    return {};
}

bool IsHiddenSettingName(const std::string& name) {
    return !name.empty() && name.front() == '.';
}

std::string HiddenSettingNote(const std::string& name) {
    return "保存名称が「.」で始まるため、設定ﾌｧｲﾙ " + name + kSettingFileExtension +
           " は隠しﾌｧｲﾙになります．\n"
           "(この一覧には表示されますが、ﾌｧｲﾙﾏﾈｰｼﾞｬなどでは通常表示されません．)\n\n"
           "この名前で保存しますか？";
}
