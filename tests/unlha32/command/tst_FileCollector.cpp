// File patterns as Windows matches them: "*.*" is every name, letters
// without regard to case, "?" one character (a kanji too).
#include "command/FileCollector.h"

#include <QTest>

class CFileCollectorTest : public QObject {
    Q_OBJECT

private slots:
    void WildcardMatch() {
        const struct {
            const char *pattern, *name;
            bool match;
        } cases[] = {{"*.*", "README", true},       {"*.TXT", "a.txt", true},
                     {"*.txt", "a.txt.bak", false}, {"?.txt", "表.txt", true},
                     {"??.txt", "a.txt", false},    {"a*Z", "abcz", true},
                     {"Doc.txt", "doc.TXT", true}};
        for (const auto& c : cases)
            QVERIFY2(unlha::WildcardMatch(c.pattern, c.name) == c.match, c.pattern);
    }
};

QTEST_GUILESS_MAIN(CFileCollectorTest)
#include "tst_FileCollector.moc"
