// The version dialog: its texts, and the library's version as it reads for
// a missing library, one without the version entry and one that answers,
// which is unloaded again afterwards.

#include "ui/app/AboutDlg.h"

#include "support/DialogTestHelpers.h"

#include <QFile>

class CAboutDlgTest : public QObject {
    Q_OBJECT
private slots:
    void libraryVersion_data() {
        QTest::addColumn<QString>("library");
        QTest::addColumn<QString>("texts");
        QTest::newRow("missing") << "/nonexistent/libunlha32.so"
                                 << "OK|DLLなし";
        QTest::newRow("without UnlhaGetVersion") << LHA_BLOCKING_LIBRARY << "OK|取得不可";
        // The stand-in answers 1 to its first call after each load.
        QTest::newRow("answers 1") << LHA_VERSION_ONLY_LIBRARY << "OK|Ver 0. 1";
    }
    void libraryVersion() {
        QFETCH(QString, library);
        QFETCH(QString, texts);
        for (int opening = 0; opening < 2; ++opening) {
            CAboutDlg dlg(nullptr, library.toStdString());
            QCOMPARE(Texts(&dlg, {CAboutDlg::IDC_OK, CAboutDlg::IDC_DLL_VERSION}), texts);
            QFile maps("/proc/self/maps");
            QVERIFY(maps.open(QIODevice::ReadOnly) && !maps.readAll().contains(library.toUtf8()));
        }
        CAboutDlg dlg(nullptr, library.toStdString());
        QCOMPARE(dlg.windowTitle(), "ﾊﾞｰｼﾞｮﾝ情報 Tidewell");
        VerifyNothingCut(dlg);
        QTest::keyClick(&dlg, Qt::Key_Return);
        QVERIFY(!dlg.isVisible() && dlg.result() == CAboutDlg::IDC_OK);
    }
};

QTEST_MAIN(CAboutDlgTest)
#include "tst_AboutDlg.moc"
