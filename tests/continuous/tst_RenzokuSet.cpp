// The continuous sets in "Tidewell.Ini" over the reference profile (CP932, CR LF).
#include "continuous/RenzokuSet.h"
#include "platform/Cp932.h"
#include "support/ProgramFolder.h"

#include <QTest>

class TestRenzokuSet : public QObject {
    Q_OBJECT
private slots:
    // The reference's "[Drives]" replaced by a section ("|" for CR LF), the set loaded, the
    // section saved in place of the old one (or appended), every other byte kept.
    void loadAndSaveOverTheReference() {
        // clang-format off
        const struct { const char* section; int set; const char* loaded; const char* saved; } rows[] = {
            // Missing.def is dropped, the keys renumbered.
            {"", 2, "Daily.def|資料.def", "[Renzoku2]|Count=2|File0=Daily.def|File1=資料.def"},
            // Upper-case ".DEF" counts, keys beyond Count do not.
            {"[Renzoku3]|Count=2|File0=B.DEF|File1=Daily.def|File2=資料.def", 3, "B.DEF|Daily.def",
             "[Renzoku3]|Count=2|File0=B.def|File1=Daily.def"},
            // A wildcard, a way out of the folder, another extension; a huge Count costs nothing.
            {"[Renzoku4]|Count=2000000000|File0=*.def|File1=..\\Daily.def|File2=B.txt|File9=B.DEF",
             4, "B.DEF", "[Renzoku4]|Count=1|File0=B.def"},
            {"", 0, "", "[Renzoku0]|Count=0"}, {"", 1, "", "[Renzoku1]|Count=0"}, {"", 5, "", ""}};
        // clang-format on
        auto lines = [](QString text) {
            return Utf8ToCp932(text.replace('|', "\r\n").toStdString() + "\r\n").value_or("");
        };
        for (const auto& [section, set, loaded, saved] : rows) {
            CTestProgramFolder program;
            QVERIFY(program.CopyTestData("Daily.def") && program.CopyTestData("資料.def") &&
                    program.WriteFile("B.DEF", "") && program.WriteFile("B.txt", ""));
            std::string ini = CTestProgramFolder::ReadTestData("Tidewell.Ini");
            if (*section)
                ini.replace(ini.find("[Drives]"), std::string::npos, lines(section));
            QVERIFY(program.WriteFile("Tidewell.Ini", ini));
            std::vector<std::string> aSet, aNames;
            LoadRenzokuSet(set, aSet);
            QStringList names;
            for (const std::string& entry : aSet) {
                names << QString::fromStdString(entry);
                aNames.push_back(RenzokuEntryName(entry));
            }
            QCOMPARE(names.join('|'), QString(loaded));
            QCOMPARE(SaveRenzokuSet(set, aNames) == 0, *saved != 0);
            const size_t begin =
                std::min(ini.find("[Renzoku" + std::to_string(set) + "]"), ini.size());
            const size_t end = std::min(ini.find("\r\n[", begin), ini.size() - 2) + 2;
            if (*saved)
                ini.replace(begin, end - begin, lines(saved));
            QCOMPARE(program.ReadFile("Tidewell.Ini"), ini);
        }
    }
};

QTEST_GUILESS_MAIN(TestRenzokuSet)
#include "tst_RenzokuSet.moc"
