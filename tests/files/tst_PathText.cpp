// Trailing separators and path splitting: pure text rules.

#include "files/PathText.h"

#include <QtTest>

class TestPathText : public QObject {
    Q_OBJECT
private slots:
    void addBackslash_data();
    void addBackslash();
    void removeBackslash_data();
    void removeBackslash();
    void splitPath_data();
    void splitPath();
};

void TestPathText::addBackslash_data() {
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::newRow("drive letter alone") << "D"
                                        << "D:\\";
    QTest::newRow("folder") << "D:\\Data"
                            << "D:\\Data\\";
    QTest::newRow("already ends in separator") << "D:\\Data\\"
                                               << "D:\\Data\\";
    QTest::newRow("drive root") << "D:\\"
                                << "D:\\";
    QTest::newRow("drive without separator") << "D:"
                                             << "D:";
    QTest::newRow("bare name") << "Data"
                               << "Data";
    QTest::newRow("empty") << ""
                           << "";
    // The katakana so is 0x83 0x5C in CP932; it is a letter, not a separator.
    QTest::newRow("name ending in so") << "D:\\ソ"
                                       << "D:\\ソ\\";
    QTest::newRow("deep name ending in so") << "D:\\a\\表ソ"
                                            << "D:\\a\\表ソ\\";
}

void TestPathText::addBackslash() {
    QFETCH(QString, in);
    QFETCH(QString, out);
    std::string path = in.toStdString();
    AddBackslash(path);
    QCOMPARE(QString::fromStdString(path), out);
}

void TestPathText::removeBackslash_data() {
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::newRow("drive root keeps it") << "D:\\"
                                         << "D:\\";
    QTest::newRow("folder") << "D:\\a\\"
                            << "D:\\a";
    QTest::newRow("three bytes ending in separator") << "a:\\"
                                                     << "a:\\";
    QTest::newRow("short text") << "\\\\"
                                << "\\\\";
    QTest::newRow("only one of two goes") << "D:\\a\\\\"
                                          << "D:\\a\\";
    QTest::newRow("no separator to remove") << "D:\\Data"
                                            << "D:\\Data";
    QTest::newRow("name ending in so") << "D:\\ソ"
                                       << "D:\\ソ";
    QTest::newRow("so, then separator") << "D:\\ソ\\"
                                        << "D:\\ソ";
    QTest::newRow("empty") << ""
                           << "";
}

void TestPathText::removeBackslash() {
    QFETCH(QString, in);
    QFETCH(QString, out);
    std::string path = in.toStdString();
    RemoveBackslash(path);
    QCOMPARE(QString::fromStdString(path), out);
}

void TestPathText::splitPath_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("file");
    QTest::newRow("full path") << "D:\\Tools\\Sub\\a.txt"
                               << "D:\\Tools\\Sub\\"
                               << "a.txt";
    QTest::newRow("drive-relative") << "D:a.txt"
                                    << "D:"
                                    << "a.txt";
    QTest::newRow("ends in separator") << "D:\\Tools\\"
                                       << "D:\\Tools\\"
                                       << "";
    QTest::newRow("drive root") << "D:\\"
                                << "D:\\"
                                << "";
    QTest::newRow("bare name") << "prog.exe"
                               << ""
                               << "prog.exe";
    QTest::newRow("two dots") << "D:\\x\\a.tar.gz"
                              << "D:\\x\\"
                              << "a.tar.gz";
    QTest::newRow("kana so before separator") << "D:\\ソ\\b"
                                              << "D:\\ソ\\"
                                              << "b";
    QTest::newRow("forward slash") << "D:/x/y.txt"
                                   << "D:/x/"
                                   << "y.txt";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
}

void TestPathText::splitPath() {
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QFETCH(QString, file);
    QCOMPARE(QString::fromStdString(SplitPath(path.toStdString(), true)), folder);
    QCOMPARE(QString::fromStdString(SplitPath(path.toStdString(), false)), file);
}

QTEST_GUILESS_MAIN(TestPathText)
#include "tst_PathText.moc"
