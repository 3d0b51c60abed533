#pragma once
// Everything a run test needs: a program folder, a source tree on S:, a
// destination tree on D:, a home of its own (for the trash), a scripted
// host and a scripted message box.

#include "copyjob/CopyJob.h"
#include "platform/Cp932.h"
#include "support/ProgramFolder.h"
#include "support/ScriptedMessageBox.h"
#include "support/ScriptedRunHost.h"
#include "support/TempTree.h"

#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <memory>

using Names = std::vector<std::string>;
using Tree = std::vector<CTreeItem>;

inline const char kFinished[] = "ｺﾋﾟｰ処理を終了しました．";
// The abnormal end, with the system's text of its reason on a line of its own.
inline std::string Failed(int code, const std::string& reason = {}) {
    return "ｺﾋﾟｰ処理は異常終了しました．終了ｺｰﾄﾞ[" + std::to_string(code) + "]" +
           (reason.empty() ? "" : "\n" + reason);
}
inline const char kDenied[] = "アクセスが拒否されました。";

struct CCopyJobFixture {
    CTestProgramFolder program;
    CTempTree source{'S'};
    CTempTree dest{'D'};
    QTemporaryDir home;
    std::shared_ptr<CScriptedMessageBox> boxes = std::make_shared<CScriptedMessageBox>();
    CScopedMessageBoxService boxService{boxes};
    CScriptedRunHost host;
    CCopyJob job{host};

    // A setting from S:\ to D:\ with the copy list "*.*", every option off.
    CCopyJobFixture() {
        setenv("HOME", home.path().toUtf8().constData(), 1);
        unsetenv("XDG_DATA_HOME");
        CCopySetting& s = *job.m_pSetting;
        s.SrcDir = source.DriveRoot();
        s.DstDir = dest.DriveRoot();
        s.WildList = "*.*";
        s.NewChk = 0;
        s.DustChk = 0;
        job.m_strLogPath = program.HostFile("Tidewall.log");
    }
    CCopySetting& Setting() { return *job.m_pSetting; }

    // Runs the job, which must end with exactly this message (starting the
    // copy if it asks); the end code, or -1 when a queued message was not shown.
    int Run(const std::string& message) {
        boxes->ExpectExact(message, IDOK);
        host.confirmAnswers = {1};
        const int code = job.RunCopyJob();
        return boxes->VerifyAllUsed() ? code : -1;
    }

    Tree Dest(const std::string& under = {}) const {
        return CTempTree::WithoutTimes(dest.Read(under));
    }
    QString TrashFile(const std::string& name) const {
        return home.filePath(QString::fromStdString(".local/share/Trash/files/" + name));
    }

    // The log's lines as UTF-8 ("<no CR LF>" marks a line without its end).
    Names LogLines() const {
        Names lines;
        std::string bytes = program.ReadFile("Tidewall.log");
        for (size_t end; (end = bytes.find("\r\n")) != std::string::npos; bytes.erase(0, end + 2))
            lines.push_back(Cp932ToUtf8(bytes.substr(0, end)));
        if (!bytes.empty())
            lines.push_back("<no CR LF>" + bytes);
        return lines;
    }
    // True when a log line holds both parts.
    bool LogHas(const std::string& part, const std::string& other) const {
        const Names lines = LogLines();
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.find(part) != line.npos && line.find(other) != line.npos;
        });
    }

    // "sub\b.txt"-style relative names of the collected items, in order.
    Names CollectedNames() const {
        Names names;
        const std::string root = source.DriveRoot();
        for (const CCopyItem& item : job.m_aCopyItems) {
            std::string folder = item.SrcFolder.substr(root.size());
            names.push_back(folder.empty() ? item.FileName : folder + "\\" + item.FileName);
        }
        return names;
    }
};
