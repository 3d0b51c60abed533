// Trailing separators and path splitting: pure text rules.
#include "files/PathText.h"

#include <QtTest>

class TestPathText : public QObject {
    Q_OBJECT
private slots:
    void separatorsAndSplitting() {
        // Text, after AddBackslash, after RemoveBackslash; then path, folder part, file part.
        // ソ is 0x83 0x5C in CP932: a letter, never a separator. Three bytes keep theirs.
        // clang-format off
        const char* rows[][3] = {{"D", "D:\\", "D"}, {"D:", "D:", "D:"}, {"a:\\", "a:\\", "a:\\"},
            {"D:\\a\\", "D:\\a\\", "D:\\a"}, {"D:\\a\\\\", "D:\\a\\\\", "D:\\a\\"},
            {"D:\\ソ", "D:\\ソ\\", "D:\\ソ"}, {"Data", "Data", "Data"}, {"", "", ""}};
        const char* splits[][3] = {{"D:\\T\\a.tar.gz", "D:\\T\\", "a.tar.gz"}, {"D:a", "D:", "a"},
            {"D:\\T\\", "D:\\T\\", ""}, {"prog", "", "prog"}, {"D:\\ソ\\b", "D:\\ソ\\", "b"},
            {"D:/x/y", "D:/x/", "y"}};
        // clang-format on
        for (const auto& [in, added, removed] : rows) {
            std::string a = in, r = in;
            AddBackslash(a);
            RemoveBackslash(r);
            QCOMPARE(QString::fromStdString(a + "|" + r), QString(added) + "|" + removed);
        }
        for (const auto& [path, folder, file] : splits)
            QCOMPARE(QString::fromStdString(SplitPath(path, true) + "|" + SplitPath(path, false)),
                     QString(folder) + "|" + file);
    }
};

QTEST_GUILESS_MAIN(TestPathText)
#include "tst_PathText.moc"
