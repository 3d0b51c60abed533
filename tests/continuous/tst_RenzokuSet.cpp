// The five continuous execution sets in "Tidewell.Ini", over the reference
// profile of tests/data (CP932, CR LF).
#include "continuous/RenzokuSet.h"
#include "platform/Cp932.h"
#include "support/ProgramFolder.h"

#include <QTest>

namespace {
QString Load(int nIndex) {
    std::vector<std::string> aSet;
    const int n = LoadRenzokuSet(nIndex, aSet);
    QStringList names;
    for (const std::string& name : aSet)
        names << QString::fromStdString(name);
    return QString::number(n) + ":" + names.join('|');
}
std::string Cp932(const char* utf8) {
    return Utf8ToCp932(utf8).value_or("<no CP932 form>");
}
} // namespace

class TestRenzokuSet : public QObject {
    Q_OBJECT

private slots:
    // Profile text after the reference's "[Drives]" section is replaced, the
    // set read, and the whole file after saving the names it loaded.
    void loadAndSaveOverTheReference_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<int>("set");
        QTest::addColumn<QString>("loaded");
        QTest::addColumn<QString>("saved"); // the section as saved
        // Missing.def is dropped, the keys renumbered; upper-case ".DEF" counts.
        QTest::newRow("missing file") << "" << 2 << "2:Daily.def|資料.def"
                                      << "[Renzoku2]|Count=2|File0=Daily.def|File1=資料.def";
        QTest::newRow("upper-case extension, keys beyond Count ignored")
            << "[Renzoku3]|Count=2|File0=B.DEF|File1=Daily.def|File2=資料.def" << 3
            << "2:B.DEF|Daily.def"
            << "[Renzoku3]|Count=2|File0=B.def|File1=Daily.def";
        // A wildcard, a way out of the folder, another extension: none is a
        // settings file of the folder. A huge Count costs nothing.
        QTest::newRow("hostile entries")
            << "[Renzoku4]|Count=2000000000|File0=*.def|File1=..\\Daily.def|File2=B.txt|File9=B.DEF"
            << 4 << "1:B.DEF"
            << "[Renzoku4]|Count=1|File0=B.def";
        QTest::newRow("empty set keeps Count 0") << "" << 0 << "0:"
                                                 << "[Renzoku0]|Count=0";
        QTest::newRow("no section: appended") << "" << 1 << "0:"
                                              << "[Renzoku1]|Count=0";
        QTest::newRow("set number out of range") << "" << 5 << "0:"
                                                 << "";
    }
    void loadAndSaveOverTheReference() {
        QFETCH(QString, section);
        QFETCH(int, set);
        QFETCH(QString, loaded);
        QFETCH(QString, saved);
        CTestProgramFolder program;
        for (const char* file : {"Daily.def", "資料.def"})
            QVERIFY(program.CopyTestData(file));
        QVERIFY(program.WriteFile("B.DEF", "") && program.WriteFile("B.txt", ""));
        std::string ini = CTestProgramFolder::ReadTestData("Tidewell.Ini");
        const std::string drives = "[Drives]\r\nE=/srv/work\r\nF=/media/backup\r\n";
        const size_t at = ini.find(drives);
        QVERIFY(at != std::string::npos);
        if (!section.isEmpty())
            ini.replace(at, drives.size(),
                        Cp932(qPrintable(section.replace('|', "\r\n") + "\r\n")));
        QVERIFY(program.WriteFile("Tidewell.Ini", ini));
        QCOMPARE(Load(set), loaded);

        std::vector<std::string> aSet;
        LoadRenzokuSet(set, aSet);
        std::vector<std::string> aNames;
        for (const std::string& entry : aSet)
            aNames.push_back(RenzokuEntryName(entry));
        QCOMPARE(SaveRenzokuSet(set, aNames) == 0, !saved.isEmpty());
        // Only that section changed, where it stood (appended when new).
        const std::string before = "[Renzoku" + std::to_string(set) + "]\r\n";
        const size_t begin = std::min(ini.find(before), ini.size());
        const size_t next = ini.find("\r\n[", begin);
        const size_t end = next == std::string::npos ? ini.size() : next + 2;
        std::string expected = ini;
        if (!saved.isEmpty())
            expected.replace(begin, end - begin,
                             Cp932(qPrintable(saved.replace('|', "\r\n") + "\r\n")));
        QCOMPARE(program.ReadFile("Tidewell.Ini"), expected);
    }

    void orderLinesRightAlignThePosition() {
        QCOMPARE(RenzokuOrderLine(1, "Daily.def"), std::string("  1 .... Daily"));
        QCOMPARE(RenzokuOrderLine(10, "資料.DEF"), std::string(" 10 .... 資料"));
    }
};

QTEST_GUILESS_MAIN(TestRenzokuSet)
#include "tst_RenzokuSet.moc"
