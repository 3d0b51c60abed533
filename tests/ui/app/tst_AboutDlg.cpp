// The version dialog: the library's version (missing, no entry, answering), unloaded after.
#include "ui/app/AboutDlg.h"

#include "support/DialogTestHelpers.h"

#include <QFile>

class CAboutDlgTest : public QObject {
    Q_OBJECT
private slots:
    void libraryVersion() {
        // The stand-in answers 1 to its first call after each load.
        const std::pair<const char*, QString> cases[] = {{"/nonexistent/libunlha32.so", "DLLなし"},
                                                         {LHA_BLOCKING_LIBRARY, "取得不可"},
                                                         {LHA_VERSION_ONLY_LIBRARY, "Ver 0. 1"}};
        for (const auto& [library, text] : cases) {
            for (int opening = 0; opening < 2; ++opening) {
                CAboutDlg dlg(nullptr, library);
                QCOMPARE(Texts(&dlg, {CAboutDlg::IDC_DLL_VERSION}), text);
                QFile maps("/proc/self/maps");
                QVERIFY(maps.open(QIODevice::ReadOnly) && !maps.readAll().contains(library));
            }
        }
        // The settings folder in use, shown whole however long.
        std::string folder = "/srv/";
        for (int depth = 0; depth < 20; ++depth)
            folder += "バックアップ用の設定/";
        CHostServices::Get().SetProgramFolder(folder);
        CAboutDlg dlg(nullptr, LHA_VERSION_ONLY_LIBRARY);
        CHostServices::Get().SetProgramFolder(HostExecutableFolder());
        QCOMPARE(Texts(&dlg, {CAboutDlg::IDC_SETTINGS_FOLDER}).remove(QChar(0x200B)),
                 QString::fromStdString(folder));
        VerifyNothingCut(dlg);
        QVERIFY(dlg.width() < 1000);
    }
};

QTEST_MAIN(CAboutDlgTest)
#include "tst_AboutDlg.moc"
