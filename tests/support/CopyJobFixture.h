#pragma once
// A run test's world: program folder, source tree on S:, destination on D:, own home (trash).

#include "copyjob/CopyJob.h"
#include "platform/Cp932.h"
#include "support/ProgramFolder.h"
#include "support/ScriptedMessageBox.h"
#include "support/ScriptedRunHost.h"
#include "support/TempTree.h"

#include <QRegularExpression>

using Names = std::vector<std::string>;

inline const char kFinished[] = "ｺﾋﾟｰ処理を終了しました．";
// The abnormal end, with the system's text of its reason on a line of its own.
inline std::string Failed(int code, const std::string& reason = {}) {
    return "ｺﾋﾟｰ処理は異常終了しました．終了ｺｰﾄﾞ[" + std::to_string(code) + "]" +
           (reason.empty() ? "" : "\n" + reason);
}
inline const char kDenied[] = "アクセスが拒否されました。";

// Builds a "name=bytes@mtime folder/ ..." listing (bytes without " ", "=" or "@").
inline bool Build(CTempTree& tree, const QString& listing) {
    for (const QString& item : listing.split(' ', Qt::SkipEmptyParts)) {
        const QStringList parts = item.split(QRegularExpression("[=@]"));
        if (!tree.Build({{parts[0].toStdString(), parts.value(1).toStdString(),
                          parts.value(2).toLongLong()}}))
            return false;
    }
    return true;
}

struct CCopyJobFixture {
    CTestProgramFolder program;
    CTempTree source{'S'};
    CTempTree dest{'D'};
    QTemporaryDir home;
    std::shared_ptr<CScriptedMessageBox> boxes = std::make_shared<CScriptedMessageBox>();
    CScopedMessageBoxService boxService{boxes};
    CScriptedRunHost host;
    CCopyJob job{host};

    // From S:\ to D:\ with the copy list "*.*", every option off; trees as Build takes them.
    explicit CCopyJobFixture(const QString& src = {}, const QString& dst = {}) {
        QVERIFY(Build(source, src) && Build(dest, dst));
        setenv("HOME", home.path().toUtf8().constData(), 1);
        unsetenv("XDG_DATA_HOME");
        Setting().SrcDir = source.DriveRoot();
        Setting().DstDir = dest.DriveRoot();
        Setting().WildList = "*.*";
        Setting().NewChk = Setting().DustChk = 0;
        job.m_strLogPath = program.HostFile("Tidewall.log");
    }
    CCopySetting& Setting() { return *job.m_pSetting; }

    // Runs the job, which must end with exactly this message (confirming the start); -1 if not.
    int Run(const std::string& message) {
        boxes->ExpectExact(message, IDOK);
        host.confirmAnswers = {1};
        const int code = job.RunCopyJob();
        return boxes->VerifyAllUsed() ? code : -1;
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
    bool LogHas(const std::string& part, const std::string& other) const {
        for (const std::string& line : LogLines())
            if (line.find(part) != line.npos && line.find(other) != line.npos)
                return true;
        return false;
    }

    // "sub\b.txt"-style names of the collected items, in order, joined by " ".
    QString CollectedNames() const {
        QStringList names;
        for (const CCopyItem& item : job.m_aCopyItems) {
            std::string folder = item.SrcFolder.substr(3);
            names << QString::fromStdString(folder.empty() ? item.FileName
                                                           : folder + "\\" + item.FileName);
        }
        return names.join(' ');
    }
};
