// File patterns as Windows matches them: "*.*" is every name, letters
// without regard to case, "?" one character (a kanji too).
#include "command/FileCollector.h"

#include <QTest>

class CFileCollectorTest : public QObject {
    Q_OBJECT

private slots:
    void WildcardMatch() {
        for (auto [pattern, name] : {std::pair{"*.*", "README"},
                                     {"*.TXT", "a.txt"},
                                     {"?.txt", "表.txt"},
                                     {"a*Z", "abcz"},
                                     {"Doc.txt", "doc.TXT"}})
            QVERIFY2(unlha::WildcardMatch(pattern, name), pattern);
        for (auto [pattern, name] : {std::pair{"*.txt", "a.txt.bak"}, {"??.txt", "a.txt"}})
            QVERIFY2(!unlha::WildcardMatch(pattern, name), pattern);
    }
};

QTEST_GUILESS_MAIN(CFileCollectorTest)
#include "tst_FileCollector.moc"
