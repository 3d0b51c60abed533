// The LHA settings dialog: section shown and saved, linked boxes, name preview, browse, help.

#include "ui/lha/LhaSettingDlg.h"

#include "copyjob/CopySetting.h"
#include "platform/Cp932.h"
#include "support/DialogTestHelpers.h"
#include "support/ProgramFolder.h"
#include "support/TempTree.h"

#include <QFileDialog>
#include <QLineEdit>

using Dlg = CLhaSettingDlg;

namespace {

// "A.def" with section "LHA" in SaveLha's order, "Key=value;..." replacing the defaults.
struct CFixture {
    CTestProgramFolder program;
    CScriptedBoxes boxes;
    CCopySetting setting;
    static std::string Section(const QString& keys) {
        QStringList lines = {"LhaName=A.LZH", "OptionStr=-lh7", "FileHeder=T%H", "SubDirChk=0",
                             "AllClrChk=0",   "NewChk=0",       "AutoFileChk=0"};
        for (const QString& pair : keys.split(';', Qt::SkipEmptyParts))
            for (QString& line : lines)
                line = line.section('=', 0, 0) == pair.section('=', 0, 0) ? pair : line;
        return *Utf8ToCp932(("[LHA]\r\n" + lines.join("\r\n") + "\r\n").toStdString());
    }
    explicit CFixture(const QString& keys) {
        QVERIFY(program.WriteFile("A.def", Section(keys)));
        setting.GetDefFilePath("A");
        CHostServices::Get().SetClock([] { return std::time_t(1704132245); });
    }
    ~CFixture() { CHostServices::Get().SetClock(nullptr); }
};

} // namespace

class CLhaSettingDlgTest : public QObject {
    Q_OBJECT
private slots:

    // State: ids, boxes "x" (checked) or "o", "-" when disabled, then the two names.
    void startClicksAndOk() {
        const int kNew = Dlg::IDC_NEW_CHK, kClr = Dlg::IDC_ALLCLR_CHK,
                  kAuto = Dlg::IDC_AUTO_FILE_CHK;
        // (stored, clicks, state, saved); a click on a disabled box does nothing; the last: the
        // proposed format, and the name kept while the automatic name is on.
        // clang-format off
        const std::tuple<QString, QList<int>, QString, QString> cases[] = {
            {"NewChk=1;AllClrChk=1", {kNew, kClr}, "1014x- 1025x- 1099o 1072 1069 1100- A.LZH|T%H",
             "NewChk=1;AllClrChk=1"},
            {"NewChk=1", {kClr, kNew, kClr}, "1014o- 1025x 1099o 1072 1069 1100- A.LZH|T%H", "AllClrChk=1"},
            {"FileHeder=;LhaName=*.LZH;SubDirChk=1", {kAuto, kAuto, kAuto},
             "1014o 1025o 1099x 1072- 1069- 1100 *.LZH|TDWL%m%d%H%M.LZH",
             "FileHeder=TDWL%m%d%H%M.LZH;LhaName=*.LZH;SubDirChk=1;AutoFileChk=1"}};
        // clang-format on
        for (const auto& [stored, clicks, state, saved] : cases) {
            CFixture f(stored);
            f.setting.LhaName = "changed in memory"; // the dialog shows what is stored
            Dlg dlg(f.setting, nullptr);
            VerifyNothingCut(dlg);
            for (int id : clicks)
                ClickControl(&dlg, id);
            QStringList parts;
            for (int id : {kNew, kClr, kAuto, 1072, 1069, 1100}) {
                auto* pCheck = qobject_cast<QCheckBox*>(ControlOf(&dlg, id));
                parts << QString::number(id) + (pCheck ? pCheck->isChecked() ? "x" : "o" : "") +
                             (ControlOf(&dlg, id)->isEnabled() ? "" : "-");
            }
            QCOMPARE(parts.join(' ') + " " + Texts(&dlg, {1072, 1100}), state);
            ClickControl(&dlg, Dlg::IDC_OK);
            QCOMPARE(dlg.result(), int(Dlg::IDC_OK));
            QCOMPARE(f.program.ReadFile("A.def"), CFixture::Section(saved));
        }
    }

    // A refused name keeps the dialog open and writes nothing.
    void previewAndRefusal() {
        // (automatic name, stored name, format typed, preview after the lead, part of the refusal)
        const std::tuple<int, QString, QString, QString, std::string> cases[] = {
            {1, "*.LZH", "TDWL%m%d%H%M.LZH", "TDWL01020304.LZH", ""},
            {1, "", "..\\%Y/%m", "..\\2024/01  書庫ﾌｧｲﾙ名に \\ や / は使えません．",
             "ﾌｫｰﾏｯﾄ '..\\%Y/%m'"},
            {1, "", "", "書庫ﾌｧｲﾙ名が空です．", "ﾌｫｰﾏｯﾄ ''"},
            {1, "", "%d\"", "02\"  書庫ﾌｧｲﾙ名に \" や制御文字は使えません．", "'%d\"'"},
            {1, "", "한%d", "한02  書庫ﾌｧｲﾙ名にShift-JISで表せない文字が含まれています．",
             "'한%d'"},
            {0, "*.LZH", "T%H", "T03",
             "書庫ﾌｧｲﾙ名 '*.LZH' では書庫を作れません．\n書庫ﾌｧｲﾙ名に * や ? は使えません．"},
            {0, "..", "", "書庫ﾌｧｲﾙ名が空です．", "書庫ﾌｧｲﾙ名に . や .. は使えません．"}};
        for (const auto& [automatic, name, format, preview, refusal] : cases) {
            CFixture f(QString("AutoFileChk=%1;LhaName=%2").arg(automatic).arg(name));
            const std::string before = f.program.ReadFile("A.def");
            Dlg dlg(f.setting, nullptr);
            dlg.show();
            dlg.Control<QLineEdit>(Dlg::IDC_FILE_HEDER)->setText(format);
            QCOMPARE(Texts(&dlg, {Dlg::IDC_NAME_PREVIEW}), "今の日時では: " + preview);
            if (!refusal.empty())
                f.boxes->Expect(refusal, IDOK, MB_ICONEXCLAMATION);
            ClickControl(&dlg, Dlg::IDC_OK);
            QVERIFY(f.boxes->VerifyAllUsed());
            QCOMPARE(dlg.isVisible() * 10 + (f.program.ReadFile("A.def") == before),
                     refusal.empty() ? 0 : 11);
        }
    }

    // Browse starts in the destination and keeps only a file's name; Escape writes nothing.
    void browseHelpAndCancel() {
        CFixture f("");
        CTempTree dest('D');
        QVERIFY(dest.Build({{"Backup/OLD.LZH"}, {"Other/NEW.LZH"}}));
        f.setting.DstDir = "D:\\Backup";
        const std::string before = f.program.ReadFile("A.def");
        int helps = 0;
        Dlg dlg(f.setting, nullptr, [&helps] { ++helps; });
        QString seen;
        AnswerNextModal([&](QWidget* pModal) {
            auto* pFiles = qobject_cast<QFileDialog*>(pModal);
            seen = pFiles->windowTitle() + "|" + pFiles->directory().path() + "|" +
                   pFiles->nameFilters().join(';');
            pFiles->selectFile(QString::fromStdString(dest.HostPath("Other/NEW.LZH")));
            QMetaObject::invokeMethod(pFiles, "accept");
        });
        ClickControl(&dlg, Dlg::IDC_BROWSE);
        QCOMPARE(seen + Texts(&dlg, {Dlg::IDC_LHA_NAME}),
                 "書庫ﾌｧｲﾙの選択|" + QString::fromStdString(dest.HostPath("Backup")) +
                     "|書庫ﾌｧｲﾙ(*.LZH)NEW.LZH");
        ClickControl(&dlg, Dlg::IDC_HELP);
        ClickControl(&dlg, Dlg::IDC_NEW_CHK);
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QCOMPARE(dlg.result() * 10 + helps, int(Dlg::IDC_CANCEL) * 10 + 1);
        QVERIFY(f.program.ReadFile("A.def") == before && f.setting.LhaName == "A.LZH");
    }
};

QTEST_MAIN(CLhaSettingDlgTest)
#include "tst_LhaSettingDlg.moc"
