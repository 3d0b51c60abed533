// The LHA settings dialog: what it shows for a stored section, the boxes
// that lock each other, the section written on OK and nothing on Cancel,
// the name preview with the refusal of names the archiver cannot take,
// browse and help.

#include "ui/lha/LhaSettingDlg.h"

#include "copyjob/CopySetting.h"
#include "platform/Cp932.h"
#include "platform/HostServices.h"
#include "support/DialogTestHelpers.h"
#include "support/ProgramFolder.h"
#include "support/TempTree.h"

#include <QFileDialog>
#include <QLineEdit>

using Dlg = CLhaSettingDlg;

namespace {

// The "LHA" section in the order SaveLha writes it, with "Key=value;..."
// replacing the defaults.
std::string Section(const QString& keys) {
    QStringList lines = {"LhaName=A.LZH", "OptionStr=-lh7", "FileHeder=T%H.LZH", "SubDirChk=0",
                         "AllClrChk=0",   "NewChk=0",       "AutoFileChk=0"};
    for (const QString& pair : keys.split(';', Qt::SkipEmptyParts))
        for (QString& line : lines)
            if (line.section('=', 0, 0) == pair.section('=', 0, 0))
                line = pair;
    return *Utf8ToCp932(("[LHA]\r\n" + lines.join("\r\n") + "\r\n").toStdString());
}

// Each control as "id" plus "x" (checked) or "o" (not), "-" when disabled.
QString State(Dlg& dlg) {
    QStringList parts;
    for (int id : {Dlg::IDC_NEW_CHK, Dlg::IDC_ALLCLR_CHK, Dlg::IDC_AUTO_FILE_CHK, Dlg::IDC_LHA_NAME,
                   Dlg::IDC_BROWSE, Dlg::IDC_FILE_HEDER}) {
        QWidget* pControl = ControlOf(&dlg, id);
        QString part = QString::number(id);
        if (auto* pCheck = qobject_cast<QCheckBox*>(pControl))
            part += pCheck->isChecked() ? "x" : "o";
        parts << part + (pControl->isEnabled() ? "" : "-");
    }
    return parts.join(' ') + " " + Texts(&dlg, {Dlg::IDC_LHA_NAME, Dlg::IDC_FILE_HEDER});
}

struct CFixture {
    CTestProgramFolder program;
    CScriptedBoxes boxes;
    CCopySetting setting;
    explicit CFixture(const QString& keys) {
        QVERIFY(program.WriteFile("A.def", Section(keys)));
        setting.GetDefFilePath("A");
        // 2024/01/02 03:04:05 in the tests' time zone.
        CHostServices::Get().SetClock([] { return std::time_t(1704132245); });
    }
    ~CFixture() { CHostServices::Get().SetClock(nullptr); }
};

} // namespace

class CLhaSettingDlgTest : public QObject {
    Q_OBJECT
private slots:
    void startClicksAndOk_data();
    void startClicksAndOk();
    void previewAndRefusal_data();
    void previewAndRefusal();
    void cancelBrowseAndHelp();
};

void CLhaSettingDlgTest::startClicksAndOk_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("saved");
    QTest::newRow("both stored on: both shown, both locked")
        << "NewChk=1;AllClrChk=1" << QList<int>{Dlg::IDC_NEW_CHK, Dlg::IDC_ALLCLR_CHK}
        << "1014x- 1025x- 1099o 1072 1069 1100- A.LZH|T%H.LZH"
        << "NewChk=1;AllClrChk=1";
    QTest::newRow("empty format: the proposal, stored on OK; name kept while automatic")
        << "FileHeder=;AutoFileChk=1;LhaName=*.LZH" << QList<int>{}
        << "1014o 1025o 1099x 1072- 1069- 1100 *.LZH|TDWL%m%d%H%M.LZH"
        << "FileHeder=TDWL%m%d%H%M.LZH;AutoFileChk=1;LhaName=*.LZH";
    // The locked box ignores the first click; each box then clears the other.
    QTest::newRow("newer only, then delete first")
        << "NewChk=1" << QList<int>{Dlg::IDC_ALLCLR_CHK, Dlg::IDC_NEW_CHK, Dlg::IDC_ALLCLR_CHK}
        << "1014o- 1025x 1099o 1072 1069 1100- A.LZH|T%H.LZH"
        << "AllClrChk=1";
    QTest::newRow("delete first, then newer only")
        << "AllClrChk=1" << QList<int>{Dlg::IDC_ALLCLR_CHK, Dlg::IDC_NEW_CHK}
        << "1014x 1025o- 1099o 1072 1069 1100- A.LZH|T%H.LZH"
        << "NewChk=1";
    QTest::newRow("automatic name switched on and off and on")
        << "SubDirChk=1"
        << QList<int>{Dlg::IDC_AUTO_FILE_CHK, Dlg::IDC_AUTO_FILE_CHK, Dlg::IDC_AUTO_FILE_CHK}
        << "1014o 1025o 1099x 1072- 1069- 1100 A.LZH|T%H.LZH"
        << "SubDirChk=1;AutoFileChk=1";
}

void CLhaSettingDlgTest::startClicksAndOk() {
    QFETCH(QString, stored);
    QFETCH(QList<int>, clicks);
    QFETCH(QString, state);
    QFETCH(QString, saved);
    CFixture f(stored);
    f.setting.LhaName = "changed in memory"; // the dialog shows what is stored
    Dlg dlg(f.setting, nullptr);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    for (int id : clicks)
        ClickControl(&dlg, id);
    QCOMPARE(State(dlg), state);
    ClickControl(&dlg, Dlg::IDC_OK);
    QCOMPARE(dlg.result(), int(Dlg::IDC_OK));
    QCOMPARE(f.program.ReadFile("A.def"), Section(saved));
    QCOMPARE(f.setting.AutoFileChk * 10 + f.setting.LhaAllClrChk,
             int(saved.contains("AutoFileChk=1")) * 10 + int(saved.contains("AllClrChk=1")));
}

void CLhaSettingDlgTest::previewAndRefusal_data() {
    QTest::addColumn<int>("automatic");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("preview");
    QTest::addColumn<QString>("refusal"); // a part of the warning; empty: accepted
    QTest::newRow("minutes") << 1 << "*.LZH"
                             << "TDWL%m%d%H%M.LZH"
                             << "今の日時では: TDWL01020304.LZH"
                             << "";
    QTest::newRow("empty") << 1 << "A.LZH"
                           << ""
                           << "今の日時では: 書庫ﾌｧｲﾙ名が空です．"
                           << "自動生成ﾌｫｰﾏｯﾄ ''";
    QTest::newRow("slash") << 1 << "A.LZH"
                           << "%Y/%m.LZH"
                           << "今の日時では: 2024/01.LZH  書庫ﾌｧｲﾙ名に \\ や / は使えません．"
                           << "'%Y/%m.LZH'";
    QTest::newRow("backslash") << 1 << "A.LZH"
                               << "..\\%d.LZH"
                               << "今の日時では: ..\\02.LZH  書庫ﾌｧｲﾙ名に \\ や / は使えません．"
                               << "'..\\%d.LZH'";
    QTest::newRow("no Shift-JIS form")
        << 1 << "A.LZH"
        << "한%d.LZH"
        << "今の日時では: 한02.LZH  書庫ﾌｧｲﾙ名にShift-JISで表せない文字が含まれています．"
        << "'한%d.LZH'";
    QTest::newRow("stored pattern, automatic name off") << 0 << "*.LZH"
                                                        << "T%H.LZH"
                                                        << "今の日時では: T03.LZH"
                                                        << "書庫ﾌｧｲﾙ名 '*.LZH'";
}

// A refused name keeps the dialog open and writes nothing.
void CLhaSettingDlgTest::previewAndRefusal() {
    QFETCH(int, automatic);
    QFETCH(QString, name);
    QFETCH(QString, format);
    QFETCH(QString, preview);
    QFETCH(QString, refusal);
    CFixture f(QString("AutoFileChk=%1;LhaName=%2").arg(automatic).arg(name));
    const std::string before = f.program.ReadFile("A.def");
    Dlg dlg(f.setting, nullptr);
    dlg.show();
    dlg.Control<QLineEdit>(Dlg::IDC_FILE_HEDER)->setText(format);
    QCOMPARE(Texts(&dlg, {Dlg::IDC_NAME_PREVIEW}), preview);
    if (!refusal.isEmpty())
        f.boxes->Expect(refusal.toStdString(), IDOK, MB_ICONEXCLAMATION);
    ClickControl(&dlg, Dlg::IDC_OK);
    QVERIFY(f.boxes->VerifyAllUsed());
    QCOMPARE(dlg.isVisible(), !refusal.isEmpty());
    QCOMPARE(f.program.ReadFile("A.def") == before, !refusal.isEmpty());
}

void CLhaSettingDlgTest::cancelBrowseAndHelp() {
    CFixture f("");
    CTempTree dest('D');
    QVERIFY(dest.Build({{"Backup/OLD.LZH"}, {"Other/NEW.LZH"}}));
    f.setting.DstDir = "D:\\Backup";
    const std::string before = f.program.ReadFile("A.def");
    int helps = 0;
    Dlg dlg(f.setting, nullptr, [&helps] { ++helps; });
    VerifyNothingCut(dlg);
    // Browse starts in the destination folder and keeps only the name of a
    // file chosen in another folder.
    QString seen;
    AnswerNextModal([&](QWidget* pModal) {
        auto* pFiles = qobject_cast<QFileDialog*>(pModal);
        QVERIFY(pFiles);
        seen = pFiles->windowTitle() + "|" + pFiles->directory().path() + "|" +
               pFiles->nameFilters().join(';');
        pFiles->selectFile(QString::fromStdString(dest.HostPath("Other/NEW.LZH")));
        QMetaObject::invokeMethod(pFiles, "accept");
    });
    ClickControl(&dlg, Dlg::IDC_BROWSE);
    QCOMPARE(seen, "書庫ﾌｧｲﾙの選択|" + QString::fromStdString(dest.HostPath("Backup")) +
                       "|書庫ﾌｧｲﾙ(*.LZH)");
    QCOMPARE(Texts(&dlg, {Dlg::IDC_LHA_NAME}), "NEW.LZH");
    ClickControl(&dlg, Dlg::IDC_HELP);
    ClickControl(&dlg, Dlg::IDC_NEW_CHK);
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QCOMPARE(dlg.result() * 10 + helps, int(Dlg::IDC_CANCEL) * 10 + 1);
    QCOMPARE(f.program.ReadFile("A.def"), before);
    QCOMPARE(f.setting.LhaName, std::string("A.LZH")); // as re-read at the start
    QVERIFY(!Dlg(f.setting, nullptr).FindControl(Dlg::IDC_HELP)->isEnabled());
}

QTEST_MAIN(CLhaSettingDlgTest)
#include "tst_LhaSettingDlg.moc"
