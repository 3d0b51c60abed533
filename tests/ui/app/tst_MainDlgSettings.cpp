// The main window's settings list: choosing, saving and deleting settings files.
#include "MainWindowFixture.h"

#include "platform/ErrorCodes.h"

namespace {

std::string AskDelete(const QString& name) {
    return "設定ﾌｧｲﾙ[" + name.toStdString() + "]を削除しますか．";
}

// Three settings stored in another order than shown, named by their source; "used" is loaded.
std::unique_ptr<Dlg> OpenThree(CMainWindowFixture& fx, const QString& used) {
    for (const char* name : {"Gamma", "Beta", "Delta"})
        if (!fx.Write(std::string(name) + ".def", QString("SrcDir=S:\\") + name))
            return nullptr;
    return fx.Write("Tidewell.Ini", "UsedDef=" + used) ? fx.Open() : nullptr;
}
} // namespace

class TestMainWindowSettings : public QObject {
    Q_OBJECT

private slots:
    void firstStartSaysHowToBegin() {
        CMainWindowFixture fx;
        auto dlg = fx.Open();
        QVERIFY(dlg && Texts(dlg.get(), {Dlg::IDC_STATUS}).startsWith("はじめに"));
        QVERIFY(QDir(QString::fromStdString(fx.program.HostPath())).isEmpty());
        TypeInto(*dlg, Dlg::IDC_SRC_DIR, "S:\\Work");
        AnswerSaveDialog("First");
        ClickControl(dlg.get(), Dlg::IDC_SAVE);
        QCOMPARE(Texts(dlg.get(), {Dlg::IDC_STATUS}),
                 "すべての設定を確認後、[実行]を押してください．");
    }

    void choosing() {
        CMainWindowFixture fx;
        auto dlg = OpenThree(fx, "Beta");
        QVERIFY(dlg);
        ChooseEntry(*dlg, 2);
        QCOMPARE(State(*dlg), "Beta|Delta|Gamma 2 2 Gamma S:\\Gamma 0");
        ChooseEntry(*dlg, 0);
        // With changes: Cancel keeps all, No drops them, Yes saves (moving the entry) and loads.
        TypeInto(*dlg, Dlg::IDC_WILD_LIST, "*.kept");
        fx.boxes->ExpectExact(kAskSave, IDCANCEL, MB_YESNOCANCEL | MB_ICONQUESTION);
        ChooseEntry(*dlg, 1);
        QCOMPARE(State(*dlg), "Beta|Delta|Gamma 0 0 Beta S:\\Beta 1");
        fx.boxes->ExpectExact(kAskSave, IDYES);
        AnswerSaveDialog("Aaa");
        ChooseEntry(*dlg, 2);
        QCOMPARE(State(*dlg), "Aaa|Beta|Delta|Gamma 3 3 Gamma S:\\Gamma 0");
        QCOMPARE(fx.Value("Aaa.def", "WildList") + fx.Value("Aaa.def", "SrcDir"), "*.keptS:\\Beta");
        TypeInto(*dlg, Dlg::IDC_WILD_LIST, "*.dropped");
        fx.boxes->ExpectExact(kAskSave, IDNO);
        ChooseEntry(*dlg, 1);
        QCOMPARE(State(*dlg), "Aaa|Beta|Delta|Gamma 1 1 Beta S:\\Beta 0");
        QVERIFY(fx.boxes->VerifyAllUsed());
        QCOMPARE(fx.Value("Gamma.def", "WildList"), "<absent>");
    }

    void saving() {
        CMainWindowFixture fx;
        auto dlg = OpenThree(fx, "Delta");
        QVERIFY(dlg);
        const std::string before = fx.program.ReadFile("Delta.def");
        TypeInto(*dlg, Dlg::IDC_SRC_DIR, QString::fromUtf8("S:\\\xF0\x9F\x98\x80"));
        AnswerSaveDialog("Delta");
        fx.boxes->Expect("ｺﾋﾟｰ元ﾌｫﾙﾀﾞに保存できない文字「\xF0\x9F\x98\x80」", IDOK,
                         MB_OK | MB_ICONEXCLAMATION); // no CP932 form
        ClickControl(dlg.get(), Dlg::IDC_SAVE);
        QVERIFY(fx.boxes->VerifyAllUsed());
        AnswerSaveDialog(nullptr);
        ClickControl(dlg.get(), Dlg::IDC_SAVE);
        QCOMPARE(fx.program.ReadFile("Delta.def"), before);
        QVERIFY(dlg->m_bChanged == 1 && IsEnabled(*dlg, Dlg::IDC_SAVE));
        TypeInto(*dlg, Dlg::IDC_SRC_DIR, "S:\\新しい");
        AnswerSaveDialog("Copy of Delta");
        ClickControl(dlg.get(), Dlg::IDC_SAVE);
        QCOMPARE(State(*dlg), "Beta|Copy of Delta|Delta|Gamma 1 1 Copy of Delta S:\\新しい 0");
        QVERIFY(!IsEnabled(*dlg, Dlg::IDC_SAVE));
        QCOMPARE(fx.Value("Copy of Delta.def", "SrcDir"), "S:\\新しい");
        QCOMPARE(fx.program.ReadFile("Delta.def"), before);
        // An empty name is saved but not selected; the delete question names the loaded file,
        // then the first entry loads.
        TypeInto(*dlg, Dlg::IDC_WILD_LIST, "*.nameless");
        AnswerSaveDialog("");
        ClickControl(dlg.get(), Dlg::IDC_SAVE);
        QCOMPARE(fx.Value(".def", "WildList"), "*.nameless");
        QCOMPARE(State(*dlg), "|Beta|Copy of Delta|Delta|Gamma -1 1 Copy of Delta S:\\新しい 1");
        fx.boxes->ExpectExact(AskDelete("Copy of Delta"), IDYES, MB_YESNO | MB_ICONQUESTION)
            .ExpectExact(kAskSave, IDNO);
        ClickControl(dlg.get(), Dlg::IDC_DELETE);
        QVERIFY(fx.boxes->VerifyAllUsed());
        QCOMPARE(fx.boxes->Shown()[fx.boxes->Shown().size() - 2].strCaption, "削除確認");
        QCOMPARE(State(*dlg), "|Beta|Delta|Gamma 0 0  S:\\新しい 0");
        QCOMPARE(Texts(dlg.get(), {Dlg::IDC_WILD_LIST}), "*.nameless");
    }

    void deleting() {
        const QString notFound = QString::fromStdString(GetSystemErrorText(ERROR_FILE_NOT_FOUND));
        // The used setting, the answer, a failure's text, what the window shows.
        const std::tuple<QString, int, QString, QString> cases[] = {
            {"Beta", IDYES, "", "Delta|Gamma 0 0 Delta S:\\Delta 0"},
            {"Delta", IDNO, "", "Beta|Delta|Gamma 1 1 Delta S:\\Delta 0"},
            {"Gamma", IDYES, "", "Beta|Delta 1 1 Delta S:\\Delta 0"},
            {"Missing", IDYES, notFound, "Beta|Delta|Gamma -1 -1 Missing  0"}};
        for (const auto& [used, answer, error, state] : cases) {
            CMainWindowFixture fx;
            auto dlg = OpenThree(fx, used);
            QVERIFY(dlg);
            fx.boxes->ExpectExact(AskDelete(used), answer, MB_YESNO | MB_ICONQUESTION);
            if (!error.isEmpty())
                fx.boxes->ExpectExact(error.toStdString(), IDOK, MB_OK | MB_ICONEXCLAMATION);
            ClickControl(dlg.get(), Dlg::IDC_DELETE);
            QVERIFY(fx.boxes->VerifyAllUsed());
            QCOMPARE(State(*dlg), state);
        }
    }
};

QTEST_MAIN(TestMainWindowSettings)
#include "tst_MainDlgSettings.moc"
