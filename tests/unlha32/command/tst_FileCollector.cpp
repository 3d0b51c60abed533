// File patterns as Windows matches them: "*.*" is every name, letters
// without regard to case, "?" one character (a kanji too).
#include "command/FileCollector.h"

#include <QTest>

class CFileCollectorTest : public QObject {
    Q_OBJECT

private slots:
    void WildcardMatch_data();
    void WildcardMatch();
};

void CFileCollectorTest::WildcardMatch_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("match");
    QTest::newRow("star dot star, no dot") << "*.*"
                                           << "README" << true;
    QTest::newRow("extension, other case") << "*.TXT"
                                           << "a.txt" << true;
    QTest::newRow("extension mismatch") << "*.txt"
                                        << "a.txt.bak" << false;
    QTest::newRow("question mark, kanji") << "?.txt"
                                          << "表.txt" << true;
    QTest::newRow("question mark too short") << "??.txt"
                                             << "a.txt" << false;
    QTest::newRow("star in the middle") << "a*Z"
                                        << "abcz" << true;
    QTest::newRow("exact") << "Doc.txt"
                           << "doc.TXT" << true;
}

void CFileCollectorTest::WildcardMatch() {
    QFETCH(QString, pattern);
    QFETCH(QString, name);
    QFETCH(bool, match);
    QCOMPARE(unlha::WildcardMatch(pattern.toStdString(), name.toStdString()), match);
}

QTEST_GUILESS_MAIN(CFileCollectorTest)
#include "tst_FileCollector.moc"
