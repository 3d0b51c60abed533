// The archive's name: the automatic name a format gives for a time, and the
// names the archiver cannot take, with the message that refuses them.

#include "copyjob/ArchiveName.h"
#include "copyjob/CopySetting.h"

#include <QDateTime>
#include <QTest>

using EProblem = EArchiveNameProblem;

class CArchiveNameTest : public QObject {
    Q_OBJECT
private slots:
    void automaticNames() {
        // 2026/03/04 09:05:00 local time.
        const std::time_t when = QDateTime(QDate(2026, 3, 4), QTime(9, 5)).toSecsSinceEpoch();
        const std::string longText(300, 'x'); // more than a first strftime buffer
        const std::pair<std::string, std::string> cases[] = {
            {"TDWL%m%d%H%M.LZH", "TDWL03040905.LZH"},
            {"%Y%m%d_%H%M%S.lzh", "20260304_090500.lzh"},
            {"資料%d.LZH", "資料04.LZH"},
            {"", ""},
            {longText + "%d", longText + "04"}};
        for (const auto& [format, name] : cases)
            QCOMPARE(FormatArchiveName(format, when), name);
        CCopySetting s;
        s.DstDir = "D:\\Backup\\";
        s.LhaName = "STORED.LZH";
        s.FileHeder = "T%H%M.LZH";
        QCOMPARE(ArchivePath(s, when), std::string("D:\\Backup\\STORED.LZH"));
        s.AutoFileChk = 1;
        QCOMPARE(ArchivePath(s, when), std::string("D:\\Backup\\T0905.LZH"));
    }

    void refusedNames() {
        // clang-format off
        const std::pair<std::string, EProblem> cases[] = {
            {"A.LZH", EProblem::None}, {"資料.LZH", EProblem::None}, {"ソ表.LZH", EProblem::None},
            {"", EProblem::Empty}, {"a\"b.LZH", EProblem::Unquotable},
            {"a\nb.LZH", EProblem::Unquotable}, {"a\x7f.LZH", EProblem::Unquotable},
            {"sub\\A.LZH", EProblem::Separator}, {"12/07.LZH", EProblem::Separator},
            {"..", EProblem::DotName}, {"..LZH", EProblem::None},
            {"*.LZH", EProblem::Pattern}, {"A?.LZH", EProblem::Pattern},
            {"\xF0\x9F\x98\x80.LZH", EProblem::NotShiftJis}};
        // clang-format on
        for (const auto& [name, problem] : cases)
            QCOMPARE(CheckArchiveName(name), problem);
        QVERIFY(ArchiveNameProblemText(EProblem::None).empty());
        QVERIFY(!ArchiveNameProblemText(EProblem::Pattern).empty());
    }

    // The refusal judges the name the run would use and names what to change.
    void refusalNamesTheValueInUse() {
        const std::tuple<int, std::string, std::string, std::string> cases[] = {
            {0, "*.LZH", "T%H.LZH", "'*.LZH'"},
            {1, "*.LZH", "T%H.LZH", ""},
            {1, "A.LZH", "", "自動生成ﾌｫｰﾏｯﾄ ''"},
            {1, "A.LZH", "%D.LZH", "'%D.LZH'"},
            {0, "A.LZH", "", ""}};
        for (const auto& [automatic, name, format, part] : cases) {
            const std::string refusal = ArchiveNameRefusal(automatic, name, format, 0);
            QVERIFY2(part.empty() ? refusal.empty() : refusal.find(part) != refusal.npos,
                     refusal.c_str());
        }
    }
};

QTEST_GUILESS_MAIN(CArchiveNameTest)
#include "tst_ArchiveName.moc"
