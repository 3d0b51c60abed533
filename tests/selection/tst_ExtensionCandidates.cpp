// The extension walk over small trees on S: (known answers) and its stop.
#include "selection/ExtensionCandidates.h"

#include "support/CopyJobFixture.h"

namespace {
QString Joined(const Names& names) {
    QStringList texts;
    for (const std::string& name : names)
        texts << QString::fromStdString(name);
    return texts.join(' ');
}
} // namespace

class TestExtensionCandidates : public QObject {
    Q_OBJECT
private slots:
    void collect_data() {
        QTest::addColumn<QString>("tree");
        QTest::addColumn<QString>("wildList");
        QTest::addColumn<QString>("collected");
        // clang-format off
        QTest::addRow("first case met, files first") << "a.TXT sub/b.txt" << "" << "*.TXT";
        QTest::addRow("copy list first") << "x.DOC y.txt" << "*.doc" << "*.doc *.txt";
        QTest::addRow("no dot, final dot") << "README x. z" << "" << "*.";
        QTest::addRow("last dot, kana") << "a.tar.gz 資料.ﾃｷｽﾄ" << "" << "*.gz *.ﾃｷｽﾄ";
        QTest::addRow("hidden folder left") << ".git/o.pack .rc s/t/u.Md" << "" << "*.rc *.Md";
        QTest::addRow("copy list kept whole") << "b.c" << "*.c//*.C/" << "*.c *.C";
        // clang-format on
    }
    void collect() {
        QFETCH(QString, tree);
        QFETCH(QString, wildList);
        QFETCH(QString, collected);
        CCopyJobFixture fx(tree, "q.zip");
        QVERIFY(fx.source.AddSymlink("ln", fx.dest.HostRoot())); // a link is not entered
        fx.Setting().WildList = wildList.toStdString();
        Names list{"old"};
        QCOMPARE(CollectExtensions(fx.job, list), 0);
        QCOMPARE(Joined(list), collected);
        QCOMPARE(fx.host.statusTexts.front(), "ファイルリストの候補を収集中です．");
        QCOMPARE(fx.host.statusTexts.back(), "すべての設定を確認後、[実行]を押してください．");
        QCOMPARE(fx.host.busyCaptions, Names({"", ""})); // on without a caption, then off
    }

    // A stop below the top ends the whole walk: the folders after it are not searched.
    void cancelStopsEverything() {
        CCopyJobFixture fx("a/a1/x.a a/a2/y.b c/z.c");
        fx.Setting().WildList.clear();
        fx.host.onPump = [&](int pump) {
            fx.job.m_bCancel = pump == 3; // before entering a\a2
        };
        Names list;
        QCOMPARE(CollectExtensions(fx.job, list), 9999);
        QCOMPARE(Joined(list), "*.a");
        QCOMPARE(fx.job.m_bCancel, 0);
        QVERIFY(std::find(fx.host.statusTexts.begin(), fx.host.statusTexts.end(),
                          "ﾌｫﾙﾀﾞ 'a' を検索中です...") != fx.host.statusTexts.end());
    }
};

QTEST_GUILESS_MAIN(TestExtensionCandidates)
#include "tst_ExtensionCandidates.moc"
