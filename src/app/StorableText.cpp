#include "app/StorableText.h"

#include "copyjob/CopySetting.h"
#include "platform/Cp932.h"

#include <algorithm>
#include <cstdio>

namespace {

const char kUnstorable[] = "%sに保存できない文字「%c」(U+%u) が含まれています．\n"
                           "設定ﾌｧｲﾙは Shift-JIS で書かれるため、この文字は使えません．";

// Length of the UTF-8 sequence that starts with byte lead (1 for a stray byte).
size_t SequenceLength(unsigned char lead) {
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

unsigned CodePoint(const std::string& ch) {
    const auto byte = [&](size_t i) {
        return static_cast<unsigned char>(ch[i]);
    };
    switch (ch.size()) {
    case 2:
        return (byte(0) & 0x1Fu) << 6 | (byte(1) & 0x3Fu);
    case 3:
        return (byte(0) & 0x0Fu) << 12 | (byte(1) & 0x3Fu) << 6 | (byte(2) & 0x3Fu);
    case 4:
        return (byte(0) & 0x07u) << 18 | (byte(1) & 0x3Fu) << 12 | (byte(2) & 0x3Fu) << 6 |
               (byte(3) & 0x3Fu);
    default:
        return byte(0);
    }
}

std::string Replace(std::string text, const char* mark, const std::string& with) {
    const size_t at = text.find(mark);
    return at == std::string::npos ? text : text.replace(at, 2, with);
}

} // namespace

std::string UnstorableFieldMessage(const std::vector<CStoredField>& fields) {
    for (const CStoredField& field : fields) {
        const std::string& text = field.strText;
        for (size_t at = 0; at < text.size();) {
            const size_t length =
                std::min(SequenceLength(static_cast<unsigned char>(text[at])), text.size() - at);
            const std::string ch = text.substr(at, length);
            at += length;
            if (IsCp932Representable(ch))
                continue;
            char code[16];
            std::snprintf(code, sizeof code, "%04X", CodePoint(ch));
            return Replace(Replace(Replace(kUnstorable, "%s", field.pszLabel), "%c", ch), "%u",
                           code);
        }
    }
    return {};
}

std::vector<CStoredField> SpecFields(const CCopySetting& setting) {
    return {{"ｺﾋﾟｰ元ﾌｫﾙﾀﾞ", setting.SrcDir},
            {"ｺﾋﾟｰ先ﾌｫﾙﾀﾞ", setting.DstDir},
            {"ｺﾋﾟｰﾘｽﾄ", setting.WildList}};
}
