#include "command/CommandLine.h"

#include "command/ResponseFile.h"
#include "lzh/CodePage.h"
#include "lzh/ResultCodes.h"

namespace unlha {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return s;
}

// One switch token, possibly several switches run together ("-x1-r1", as
// the archive run writes "-x1 -r1" followed directly by typed options).
int ApplySwitch(const std::string& token, CCommand& command, CReport& report) {
    size_t start = 1;
    bool any = false;
    for (size_t i = 1; i <= token.size(); ++i) {
        if (i < token.size() && token[i] != '-')
            continue;
        std::string piece = Lower(token.substr(start, i - start));
        start = i + 1;
        if (piece.empty())
            continue;
        any = true;
        if (piece == "r" || piece == "r1" || piece == "r0")
            command.bRecurse = piece != "r0";
        else if (piece == "x" || piece == "x1" || piece == "x0")
            command.bKeepPaths = piece != "x0";
        else if (piece == "lh5" || piece == "lh6" || piece == "lh7")
            command.nMethod = piece[2] - '0';
        else if (piece.size() == 2 && piece[0] == 'l' && piece[1] >= '1' && piece[1] <= '9')
            command.nLevel = piece[1] - '0';
        else {
            report.AddLine("対応していないスイッチです: -" +
                           token.substr(i - piece.size(), piece.size()));
            return RESULT_BAD_COMMAND;
        }
    }
    if (!any) {
        report.AddLine("スイッチが空です: " + token);
        return RESULT_BAD_COMMAND;
    }
    return RESULT_OK;
}

bool IsAbsolute(const std::string& path) {
    return (!path.empty() && path[0] == '/') ||
           (path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/'));
}

// Collects tokens, expanding "@file" ones. fromFile: the token came from a
// response file (decoding errors then count as response file errors).
int ExpandTokens(const std::vector<CToken>& raw, const CDriveTable& drives,
                 std::vector<CToken>& out, std::vector<bool>& fromFile, CReport& report) {
    for (const CToken& token : raw) {
        if (token.bQuoted || token.strText.size() < 2 || token.strText[0] != '@') {
            out.push_back(token);
            fromFile.push_back(false);
            continue;
        }
        auto path = Cp932ToUtf8(token.strText.substr(1));
        auto host = path ? drives.ToHost(*path) : std::nullopt;
        std::string content;
        if (!host || !ReadResponseFile(*host, content)) {
            report.AddLine("レスポンスファイルを読めません: " + (path ? *path : std::string("?")));
            return RESULT_RESPONSE_FILE;
        }
        auto text = DecodeResponseText(content);
        if (!text) {
            report.AddLine("レスポンスファイルの文字コードが CP932 でも UTF-8 でもありません: " +
                           *path);
            return RESULT_RESPONSE_FILE;
        }
        for (CToken inner : SplitTokens(*text)) {
            inner.bUtf8 = true;
            out.push_back(inner);
            fromFile.push_back(true);
        }
    }
    return RESULT_OK;
}

// A line starting with "@" names a response file by the whole rest of the
// line (a temporary folder may have blanks in its path); other lines split
// into tokens.
std::vector<CToken> CommandTokens(const std::string& cmdLine) {
    size_t first = cmdLine.find_first_not_of(" \t\r\n");
    if (first == std::string::npos || cmdLine[first] != '@')
        return SplitTokens(cmdLine);
    size_t last = cmdLine.find_last_not_of(" \t\r\n");
    CToken token{cmdLine.substr(first, last - first + 1), false};
    if (token.strText.size() > 3 && token.strText[1] == '"' && token.strText.back() == '"') {
        token.strText.pop_back();  // the closing quote
        token.strText.erase(1, 1); // the opening one
    }
    return {token};
}

} // namespace

std::vector<CToken> SplitTokens(const std::string& text) {
    std::vector<CToken> tokens;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        if (i >= text.size())
            break;
        CToken token;
        bool inQuotes = false;
        // Blanks and quotes are never the second byte of a CP932 character,
        // so scanning bytes is safe.
        for (; i < text.size() && (inQuotes || !IsBlank(text[i])); ++i) {
            if (text[i] == '"') {
                inQuotes = !inQuotes;
                token.bQuoted = true;
            } else {
                token.strText += text[i];
            }
        }
        tokens.push_back(std::move(token));
    }
    return tokens;
}

int ParseCommandLine(const std::string& cmdLine, const CDriveTable& drives, CCommand& command,
                     CReport& report) {
    std::vector<CToken> raw = CommandTokens(cmdLine);
    std::vector<CToken> tokens;
    std::vector<bool> fromFile;
    if (int rc = ExpandTokens(raw, drives, tokens, fromFile, report))
        return rc;

    int positional = 0;
    std::string base;
    bool baseUsed = false;
    for (size_t k = 0; k < tokens.size(); ++k) {
        auto text = tokens[k].bUtf8 ? std::optional<std::string>(tokens[k].strText)
                                    : Cp932ToUtf8(tokens[k].strText);
        if (!text) {
            report.AddLine("CP932 として読めない指定があります");
            return fromFile[k] ? RESULT_RESPONSE_FILE : RESULT_BAD_COMMAND;
        }
        if (!tokens[k].bQuoted && !text->empty() && (*text)[0] == '-') {
            if (int rc = ApplySwitch(*text, command, report))
                return rc;
        } else if (positional == 0) {
            ++positional;
            std::string letter = Lower(*text);
            if (letter != "a" && letter != "u") {
                report.AddLine("対応していないコマンドです: " + *text);
                return RESULT_BAD_COMMAND;
            }
            command.cCommand = letter[0];
        } else if (positional == 1) {
            ++positional;
            command.strArchive = *text;
        } else if (!text->empty() && (text->back() == '\\' || text->back() == '/')) {
            if (!base.empty() && !baseUsed)
                command.aSpecs.push_back(CFileSpec{base, "*.*"}); // a base alone: all files
            base = *text;
            baseUsed = false;
        } else if (IsAbsolute(*text)) {
            size_t cut = text->find_last_of("\\/");
            command.aSpecs.push_back(CFileSpec{text->substr(0, cut + 1), text->substr(cut + 1)});
        } else if (!base.empty()) {
            command.aSpecs.push_back(CFileSpec{base, *text});
            baseUsed = true;
        } else {
            report.AddLine("基準フォルダの指定がないファイル名です: " + *text);
            return RESULT_BAD_COMMAND;
        }
    }
    if (!base.empty() && !baseUsed)
        command.aSpecs.push_back(CFileSpec{base, "*.*"});
    if (positional == 0) {
        report.AddLine("コマンドの指定がありません");
        return RESULT_BAD_COMMAND;
    }
    return RESULT_OK;
}

} // namespace unlha
