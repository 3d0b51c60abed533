// The folder tree's arithmetic: item paths, order, initial path, refresh, changed media.

#include "files/FolderBrowse.h"

#include <QtTest>

class TestFolderBrowse : public QObject {
    Q_OBJECT
private slots:
    void pathsAndOrder() {
        QCOMPARE(JoinItemTexts({"D:\\"}), std::string("D:\\"));
        QCOMPARE(JoinItemTexts({"D:\\", "Data", "Sub"}), std::string("D:\\Data\\Sub"));
        QCOMPARE(JoinItemTexts({"D:\\", "a\\", "b"}), std::string("D:\\a\\b"));
        // Letters without case first, then bytes; a prefix before longer names.
        std::vector<std::string> names{"b", "B", "a", "_x", "ab", "A", "Ab"};
        std::sort(names.begin(), names.end(), FolderNameLess);
        QCOMPARE(names, (std::vector<std::string>{"A", "a", "Ab", "ab", "B", "b", "_x"}));
    }

    void selectSteps() {
        const std::tuple<const char*, const char*, std::vector<std::string>> rows[] = {
            {"d:\\data\\Sub\\", "d:\\", {"data", "Sub"}},
            {"D:/a/b", "D:\\", {"a", "b"}},
            {"D:\\", "D:\\", {}},
            {"D:\\a\\\\b", "D:\\", {"a", "", "b"}}};
        for (const auto& [path, root, names] : rows) {
            const std::optional<CSelectSteps> steps = SplitSelectPath(path);
            QVERIFY2(steps && steps->strRoot == root && steps->aNames == names, path);
        }
        QVERIFY(!SplitSelectPath("D:"));
    }

    void childChanges() {
        const CChildChanges changes =
            DiffChildren({"a", "Keep", "gone"}, {"c", "keep", "Keep", "B"});
        QCOMPARE(changes.aRemoved, (std::vector<std::string>{"a", "gone"}));
        QCOMPARE(changes.aAdded, (std::vector<std::string>{"B", "c", "keep"}));
    }

    void changedMedium() {
        // Serial read, remembered before, unchanged?, remembered after.
        const std::tuple<std::optional<uint32_t>, uint32_t, bool, uint32_t> rows[] = {
            {7, CMediumTracker::kNone, true, 7},
            {7, 7, true, 7},
            {8, 7, false, 8},
            {std::nullopt, 7, false, CMediumTracker::kNone},
            {0, CMediumTracker::kNone, true, 0}};
        for (const auto& [read, before, unchanged, after] : rows) {
            CMediumTracker media;
            media.Remember(25, before);
            QCOMPARE(media.Unchanged(25, read), unchanged);
            QCOMPARE(media.Serial(25), after);
            QCOMPARE(media.Serial(24), CMediumTracker::kNone);
        }
    }
};

QTEST_GUILESS_MAIN(TestFolderBrowse)
#include "tst_FolderBrowse.moc"
