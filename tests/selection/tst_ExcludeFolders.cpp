// The exclude list's lines: which are checked and how deep each stands.
#include "selection/ExcludeFolders.h"

#include <QTest>

using Folders = std::vector<std::string>;

class TestExcludeFolders : public QObject {
    Q_OBJECT
private slots:
    void lines() {
        const Folders candidates = {"S:\\Src\\", "S:\\Src\\Old", "S:\\Src\\Old\\x", "S:\\Src\\Ok"};
        // Entries, then per line: "*" when checked, the depth and the folder's own name.
        const std::pair<Folders, const char*> rows[] = {
            {{}, "0S:\\Src 1Old 2x 1Ok"},
            {{"s:\\src\\old\\", "S:\\Gone", "S:\\SRC"}, "*0S:\\Src *1Old 2x 1Ok"},
            {{"S:\\Src\\Old\\x\\\\"}, "0S:\\Src 1Old 2x 1Ok"}, // one separator only is aside
        };
        for (const auto& [outDirs, expected] : rows) {
            QStringList shown;
            for (const CExcludeLine& line : ExcludeLines(candidates, outDirs))
                shown << QString(line.bChecked ? "*" : "") + QString::number(line.nDepth) +
                             QString::fromStdString(line.strText.substr(line.nNameAt));
            QCOMPARE(shown.join(' '), QString(expected));
        }
        QCOMPARE(ExcludeLines({"S:\\"}, {"S:\\"}).front().bChecked, true);
    }
};

QTEST_GUILESS_MAIN(TestExcludeFolders)
#include "tst_ExcludeFolders.moc"
