// Notices of subfolders made, removed and renamed in watched folders.

#include "platform/FolderWatch.h"
#include "support/TempTree.h"

#include <QSignalSpy>
#include <QtTest>

#include <cstdio>

namespace {

// The folders reported by the next notice, sorted; empty when none comes.
QStringList NextNotice(QSignalSpy& spy, int ms = 1000) {
    spy.clear();
    if (!spy.wait(ms))
        return {};
    QStringList folders = spy.takeFirst().at(0).toStringList();
    folders.sort();
    return folders;
}

} // namespace

class TestFolderWatch : public QObject {
    Q_OBJECT
private slots:
    void folderChangesOnly() {
        CTempTree tree;
        QVERIFY(tree.Build({{"a/old/"}, {"b/"}}));
        CFolderWatch watch;
        QSignalSpy spy(&watch, &CFolderWatch::FoldersChanged);
        for (const char* path : {"T:\\", "T:\\a", "T:\\b", "t:\\a"}) // two names, one folder
            QVERIFY2(watch.Watch(path), path);
        QVERIFY(!watch.Watch("T:\\gone"));
        QCOMPARE(watch.WatchCount(), size_t(3));
        QVERIFY(tree.AddFolder("a/new"));
        QCOMPARE(NextNotice(spy), QStringList({"T:\\a", "t:\\a"}));
        QVERIFY(tree.AddFile("a/file.txt", "x"));
        QCOMPARE(NextNotice(spy, 200), QStringList()); // files do not count
        QCOMPARE(std::rename(tree.HostPath("a/old").c_str(), tree.HostPath("b/old").c_str()), 0);
        QCOMPARE(NextNotice(spy), QStringList({"T:\\a", "T:\\b", "t:\\a"}));
        watch.Unwatch("T:\\a");
        QVERIFY(tree.AddFolder("a/more"));
        QCOMPARE(NextNotice(spy), QStringList({"t:\\a"}));
        QCOMPARE(std::rename(tree.HostPath("b").c_str(), tree.HostPath("c").c_str()), 0);
        QCOMPARE(NextNotice(spy), QStringList({"T:\\", "T:\\b"}));
        watch.UnwatchAll();
        QVERIFY(tree.AddFolder("x"));
        QCOMPARE(NextNotice(spy, 200), QStringList());
    }

    void capOfWatches() {
        CTempTree tree;
        QVERIFY(tree.Build({{"a/"}, {"b/"}, {"c/"}}));
        CFolderWatch watch(2);
        QVERIFY(watch.Watch("T:\\a") && watch.Watch("T:\\b"));
        QVERIFY(!watch.Watch("T:\\c") && watch.LimitReached() && !watch.IsWatched("T:\\c"));
        watch.Unwatch("T:\\a");
        QVERIFY(!watch.LimitReached() && watch.Watch("T:\\c") && watch.WatchCount() == 2);
    }
};

QTEST_GUILESS_MAIN(TestFolderWatch)
#include "tst_FolderWatch.moc"
