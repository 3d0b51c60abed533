// Trailing separators and path splitting: pure text rules.

#include "files/PathText.h"

#include <QtTest>

class TestPathText : public QObject {
    Q_OBJECT
private slots:
    void trailingSeparators() {
        // Text, after AddBackslash, after RemoveBackslash. The so is 0x83 0x5C
        // in CP932: a letter, never a separator. Three bytes or fewer keep theirs.
        // clang-format off
        const char* rows[][3] = {{"D", "D:\\", "D"}, {"D:", "D:", "D:"}, {"a:\\", "a:\\", "a:\\"},
            {"D:\\a\\", "D:\\a\\", "D:\\a"}, {"D:\\a\\\\", "D:\\a\\\\", "D:\\a\\"},
            {"D:\\ソ", "D:\\ソ\\", "D:\\ソ"}, {"Data", "Data", "Data"}, {"", "", ""}};
        // clang-format on
        for (const auto& [in, added, removed] : rows) {
            std::string a = in, r = in;
            AddBackslash(a);
            RemoveBackslash(r);
            QCOMPARE(QString::fromStdString(a), added);
            QCOMPARE(QString::fromStdString(r), removed);
        }
    }

    void splitPath() {
        // clang-format off
        const char* rows[][3] = {{"D:\\T\\a.tar.gz", "D:\\T\\", "a.tar.gz"}, {"D:a", "D:", "a"},
            {"D:\\T\\", "D:\\T\\", ""}, {"prog", "", "prog"}, {"D:\\ソ\\b", "D:\\ソ\\", "b"},
            {"D:/x/y", "D:/x/", "y"}};
        // clang-format on
        for (const auto& [path, folder, file] : rows) {
            QCOMPARE(QString::fromStdString(SplitPath(path, true)), folder);
            QCOMPARE(QString::fromStdString(SplitPath(path, false)), file);
        }
    }
};

QTEST_GUILESS_MAIN(TestPathText)
#include "tst_PathText.moc"
