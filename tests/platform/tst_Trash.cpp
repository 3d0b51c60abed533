// The Recycle Bin stand-in: a replaced file must really land in the desktop
// trash with a record a trash view can restore from, and must never be lost
// when the trash cannot take it.
#include "support/HostFiles.h"
#include "support/HostPrivileges.h"

#include "platform/ErrorCodes.h"
#include "platform/HostServices.h"
#include "platform/Trash.h"

#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <unistd.h>

class TestTrash : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_pTmp;
    QString m_strRoot; // the temporary folder, resolved
    QString m_strHome; // $HOME
    QString m_strData; // host folder of drive D:
    QString HomeTrash() const { return m_strHome + "/.local/share/Trash"; }

    // The item named trashName sits in trashDir/files with bytes, and its
    // record names original (relative to base when base is not empty).
    void VerifyTrashed(const QString& trashDir, const QString& trashName, const QString& original,
                       const QByteArray& bytes, const QString& base = {}) {
        QCOMPARE(ReadHostFile(trashDir + "/files/" + trashName), bytes);
        const QByteArray info = ReadHostFile(trashDir + "/info/" + trashName + ".trashinfo");
        const QString path = base.isEmpty() ? original : original.mid(base.size() + 1);
        // 2000-02-29 00:00:00 UTC in the tests' zone, JST.
        QCOMPARE(info, "[Trash Info]\nPath=" + QUrl::toPercentEncoding(path, "/") +
                           "\nDeletionDate=2000-02-29T09:00:00\n");
        QVERIFY(!QFileInfo::exists(original) && !QFileInfo(original).isSymLink());
        QCOMPARE(HostStat(trashDir).st_mode & 0777, mode_t{0700});
    }

private slots:
    void init() {
        m_pTmp = std::make_unique<QTemporaryDir>();
        m_strRoot = QFileInfo(m_pTmp->path()).canonicalFilePath();
        m_strHome = m_strRoot + "/home";
        m_strData = m_strRoot + "/data";
        QVERIFY(QDir().mkpath(m_strHome) && QDir().mkpath(m_strData));
        setenv("HOME", QFile::encodeName(m_strHome).constData(), 1);
        unsetenv("XDG_DATA_HOME");
        CHostServices::Get().DriveMap().Map('D', m_strData.toStdString());
        CHostServices::Get().SetClock([] { return std::time_t{951782400}; });
    }

    void homeTrash_data() {
        QTest::addColumn<QString>("xdg");         // XDG_DATA_HOME, "-" = unset
        QTest::addColumn<bool>("makeLocalShare"); // ~/.local/share exists beforehand
        QTest::addColumn<QString>("trash");       // below the temporary root
        QTest::addColumn<QString>("name");
        QTest::newRow("unset, .local/share exists") << "-" << true << "home/.local/share/Trash"
                                                    << "資料 a b%#?.txt";
        QTest::newRow("set, folder missing") << "xdg/data" << false << "xdg/data/Trash"
                                             << "x.txt";
        QTest::newRow("relative is ignored") << "rel/data" << false << "home/.local/share/Trash"
                                             << "x.txt";
    }
    void homeTrash() {
        QFETCH(QString, xdg);
        QFETCH(bool, makeLocalShare);
        QFETCH(QString, trash);
        QFETCH(QString, name);
        if (xdg != "-")
            setenv(
                "XDG_DATA_HOME",
                QFile::encodeName(xdg.startsWith("xdg") ? m_strRoot + "/" + xdg : xdg).constData(),
                1);
        QVERIFY(!makeLocalShare || QDir().mkpath(m_strHome + "/.local/share"));
        const bool filesInCwd = QDir::current().exists("files");
        QVERIFY(WriteHostFile(m_strData + "/" + name, "payload"));
        QCOMPARE(SendToTrash(("D:\\" + name).toStdString()), 0);
        VerifyTrashed(m_strRoot + "/" + trash, name, m_strData + "/" + name, "payload");
        QCOMPARE(QDir::current().exists("files"), filesInCwd);
    }

    // Two items of one name, a folder, a link (not its target) and a name
    // too long for its record: each has its own place and record.
    void everyItemKeepsItsOwnPlace() {
        const QString longName = QString(251, 'n') + ".txt";
        QVERIFY(QDir().mkpath(m_strData + "/one") && QDir().mkpath(m_strData + "/sub/inner"));
        QVERIFY(WriteHostFile(m_strData + "/one/a.txt", "first") &&
                WriteHostFile(m_strData + "/a.txt", "second"));
        QVERIFY(WriteHostFile(m_strData + "/sub/inner/f.txt", "deep") &&
                WriteHostFile(m_strData + "/" + longName, "long"));
        QVERIFY(WriteHostFile(m_strData + "/target.txt", "target"));
        QVERIFY(QFile::link(m_strData + "/target.txt", m_strData + "/link.txt"));
        for (const QString& item :
             QStringList{"one\\a.txt", "a.txt", "sub\\", "link.txt", longName})
            QCOMPARE(SendToTrash(("D:\\" + item).toStdString()), 0);
        QStringList names = NamesIn(HomeTrash() + "/files");
        QCOMPARE(names.size(), 5);
        QCOMPARE(NamesIn(HomeTrash() + "/info").size(), 5);
        VerifyTrashed(HomeTrash(), "a.txt", m_strData + "/one/a.txt", "first");
        QCOMPARE(ReadHostFile(HomeTrash() + "/files/sub/inner/f.txt"), QByteArray("deep"));
        QVERIFY(QFileInfo(HomeTrash() + "/files/link.txt").isSymLink());
        for (const char* known : {"a.txt", "sub", "link.txt"})
            names.removeOne(known);
        const int second = ReadHostFile(HomeTrash() + "/files/" + names[0]) == "second" ? 0 : 1;
        VerifyTrashed(HomeTrash(), names[second], m_strData + "/a.txt", "second");
        VerifyTrashed(HomeTrash(), names[1 - second], m_strData + "/" + longName, "long");
        QCOMPARE(NamesIn(m_strData), (QStringList{"one", "target.txt"}));
    }

    // A volume other than the home's has its own trash at its top folder.
    void otherVolume_data() {
        QTest::addColumn<QString>("admin"); // state of "$topdir/.Trash"
        QTest::addColumn<QString>("trash");
        const QString uid = QString::number(getuid());
        QTest::newRow("no admin trash") << "none"
                                        << ".Trash-" + uid;
        QTest::newRow("sticky admin trash") << "sticky"
                                            << ".Trash/" + uid;
        QTest::newRow("admin trash not sticky") << "plain"
                                                << ".Trash-" + uid;
    }
    void otherVolume() {
        QFETCH(QString, admin);
        QFETCH(QString, trash);
        SKIP_WITHOUT_PRIVATE_MOUNTS();
        const QString volume = m_strData + "/vol";
        QVERIFY(MountTmpfs(volume.toStdString(), "size=1m"));
        auto unmount = qScopeGuard([&] { Unmount(volume.toStdString()); });
        QVERIFY(admin == "none" || (QDir().mkpath(volume + "/.Trash") &&
                                    chmod(QFile::encodeName(volume + "/.Trash").constData(),
                                          admin == "sticky" ? 01777 : 0777) == 0));
        QVERIFY(QDir().mkpath(volume + "/sub") &&
                WriteHostFile(volume + "/sub/x.txt", "on the volume"));
        QCOMPARE(SendToTrash("D:\\vol\\sub\\x.txt"), 0);
        VerifyTrashed(volume + "/" + trash, "x.txt", volume + "/sub/x.txt", "on the volume",
                      volume);
        QVERIFY(!QDir(HomeTrash()).exists());
    }

    // One file system, two mounts: rename cannot cross them, so the trash is
    // chosen by the mount that holds the item, and when rename still answers
    // EXDEV the other trash is tried.
    void bindMounts_data() {
        QTest::addColumn<bool>("destination"); // else the home trash's files folder
        QTest::newRow("destination") << true;
        QTest::newRow("home trash's files folder") << false;
    }
    void bindMounts() {
        QFETCH(bool, destination);
        SKIP_WITHOUT_PRIVATE_MOUNTS();
        const QString root = m_strRoot + "/ns";
        QVERIFY(MountTmpfs(root.toStdString(), "size=1m"));
        const QString home = root + "/home";
        const QString top = destination ? root + "/bind" : root; // the mount that holds the item
        const QString bound = destination ? top : home + "/.local/share/Trash/files";
        auto unmount = qScopeGuard([&] {
            Unmount(bound.toStdString());
            Unmount(root.toStdString());
        });
        QVERIFY(QDir().mkpath(root + "/data"));
        QVERIFY(BindMount((destination ? root + "/data" : root + "/elsewhere").toStdString(),
                          bound.toStdString()));
        setenv("HOME", QFile::encodeName(home).constData(), 1);
        const QString item = (destination ? top : root + "/data") + "/a.txt";
        CHostServices::Get().DriveMap().Map('D', QFileInfo(item).path().toStdString());
        QVERIFY(WriteHostFile(item, "bound"));
        QCOMPARE(SendToTrash("D:\\a.txt"), 0);
        VerifyTrashed(top + "/.Trash-" + QString::number(getuid()), "a.txt", item, "bound", top);
        QVERIFY(NamesIn(home + "/.local/share/Trash/info").isEmpty());
    }

    // Whatever goes wrong, the item stays where it was and no record is left.
    void failuresKeepTheItem_data() {
        QTest::addColumn<QString>("blocker"); // what is put in the trash's way
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("expected"); // -1: any non-zero code
        QTest::newRow("missing item") << ""
                                      << "D:\\none.txt" << int(ERROR_FILE_NOT_FOUND);
        QTest::newRow("drive root") << ""
                                    << "D:\\" << int(ERROR_ACCESS_DENIED);
        QTest::newRow("trash is a file") << "Trash"
                                         << "D:\\a.txt" << -1;
        QTest::newRow("files is a file") << "Trash/files"
                                         << "D:\\a.txt" << -1;
    }
    void failuresKeepTheItem() {
        QFETCH(QString, blocker);
        QFETCH(QString, path);
        QFETCH(int, expected);
        const QString data = m_strHome + "/.local/share";
        QVERIFY(QDir().mkpath(data + "/Trash"));
        QVERIFY(blocker.isEmpty() || (QDir(data + "/" + blocker).removeRecursively() &&
                                      WriteHostFile(data + "/" + blocker, "in the way")));
        QVERIFY(WriteHostFile(m_strData + "/a.txt", "keep me"));
        const int r = SendToTrash(path.toStdString());
        QVERIFY(expected < 0 ? r != 0 : r == expected);
        QCOMPARE(ReadHostFile(m_strData + "/a.txt"), QByteArray("keep me"));
        QCOMPARE(NamesIn(data + "/Trash/info"), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestTrash)
#include "tst_Trash.moc"
