// The Recycle Bin stand-in: a replaced file must really land in the desktop
// trash with a record a trash view can restore from, and must never be lost
// when the trash cannot take it.

#include "support/HostFiles.h"

#include "platform/ErrorCodes.h"
#include "platform/HostServices.h"
#include "platform/Trash.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <cstdlib>
#include <memory>
#include <optional>
#include <sched.h>
#include <unistd.h>

namespace {

// 2000-02-29 00:00:00 UTC; the tests run with TZ=JST-9.
constexpr std::time_t kFrozenNow = 951782400;
const char* const kFrozenLocal = "2000-02-29T09:00:00";

std::optional<QByteArray> SavedEnv(const char* name) {
    const char* value = getenv(name);
    return value ? std::optional<QByteArray>(value) : std::nullopt;
}

void RestoreEnv(const char* name, const std::optional<QByteArray>& value) {
    if (value)
        setenv(name, value->constData(), 1);
    else
        unsetenv(name);
}

// Mounts made after this stay inside this test process.
bool EnterPrivateMounts() {
    static const bool entered =
        unshare(CLONE_NEWNS) == 0 && mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return entered;
}

bool BindMount(const QString& from, const QString& to) {
    return QDir().mkpath(from) && QDir().mkpath(to) &&
           mount(QFile::encodeName(from).constData(), QFile::encodeName(to).constData(), nullptr,
                 MS_BIND, nullptr) == 0;
}

} // namespace

class TestTrash : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_pTmp;
    QString m_strHome;
    QString m_strData; // host folder of drive D:
    std::optional<QByteArray> m_home;
    std::optional<QByteArray> m_xdg;

    // The item named trashName sits in trashDir/files with bytes, and its
    // record names original (relative to base when base is not empty).
    void VerifyTrashed(const QString& trashDir, const QString& trashName, const QString& original,
                       const QByteArray& bytes, const QString& base = {}) {
        QCOMPARE(ReadHostFile(trashDir + "/files/" + trashName), bytes);
        QByteArray info = ReadHostFile(trashDir + "/info/" + trashName + ".trashinfo");
        QList<QByteArray> lines = info.split('\n');
        QVERIFY2(lines.size() >= 3, info.constData());
        QCOMPARE(lines[0], QByteArray("[Trash Info]"));
        QVERIFY(lines[1].startsWith("Path="));
        QString path = QUrl::fromPercentEncoding(lines[1].mid(5));
        QCOMPARE(path, base.isEmpty() ? original : original.mid(base.size() + 1));
        QCOMPARE(lines[2], "DeletionDate=" + QByteArray(kFrozenLocal));
        QVERIFY(!QFileInfo::exists(original) && !QFileInfo(original).isSymLink());
    }

private slots:
    void initTestCase() {
        m_home = SavedEnv("HOME");
        m_xdg = SavedEnv("XDG_DATA_HOME");
        // The deletion date is local time: pin the zone also outside CTest.
        setenv("TZ", "JST-9", 1);
        tzset();
    }
    void cleanupTestCase() {
        RestoreEnv("HOME", m_home);
        RestoreEnv("XDG_DATA_HOME", m_xdg);
    }

    void init() {
        m_pTmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_pTmp->isValid());
        QString root = QFileInfo(m_pTmp->path()).canonicalFilePath();
        m_strHome = root + "/home";
        m_strData = root + "/data";
        QVERIFY(QDir().mkpath(m_strHome) && QDir().mkpath(m_strData));
        setenv("HOME", QFile::encodeName(m_strHome).constData(), 1);
        unsetenv("XDG_DATA_HOME");
        CHostServices::Get().DriveMap().Map('D', m_strData.toStdString());
        CHostServices::Get().SetClock([] { return kFrozenNow; });
    }
    void cleanup() {
        CHostServices::Get().SetClock({});
        m_pTmp.reset();
    }

    void homeTrash_data() {
        QTest::addColumn<QString>("xdg");         // value of XDG_DATA_HOME, "-" = unset
        QTest::addColumn<bool>("makeLocalShare"); // ~/.local/share exists beforehand
        QTest::addColumn<QString>("trash");       // expected trash, below the temporary root
        QTest::addColumn<QString>("name");
        QTest::newRow("unset, no .local/share") << "-" << false << "home/.local/share/Trash"
                                                << "a b%.txt";
        QTest::newRow("unset, .local/share exists") << "-" << true << "home/.local/share/Trash"
                                                    << "資料 #1?.txt";
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
        QString root = QFileInfo(m_strHome).path();
        if (xdg.startsWith("xdg"))
            setenv("XDG_DATA_HOME", QFile::encodeName(root + "/" + xdg).constData(), 1);
        else if (xdg != "-")
            setenv("XDG_DATA_HOME", QFile::encodeName(xdg).constData(), 1);
        if (makeLocalShare)
            QVERIFY(QDir().mkpath(m_strHome + "/.local/share"));
        bool bFilesInCwd = QDir::current().exists("files");
        QString original = m_strData + "/" + name;
        QVERIFY(WriteHostFile(original, "payload"));

        QCOMPARE(SendToTrash(("D:\\" + name).toStdString()), 0);

        QString trashDir = root + "/" + trash;
        VerifyTrashed(trashDir, name, original, "payload");
        QCOMPARE(HostStat(trashDir).st_mode & 0777, mode_t{0700});
        QCOMPARE(QDir::current().exists("files"), bFilesInCwd);
    }

    void sameNameTwice() {
        QVERIFY(QDir().mkpath(m_strData + "/one") && QDir().mkpath(m_strData + "/two"));
        QVERIFY(WriteHostFile(m_strData + "/one/a.txt", "first"));
        QVERIFY(WriteHostFile(m_strData + "/two/a.txt", "second"));
        QCOMPARE(SendToTrash("D:\\one\\a.txt"), 0);
        QCOMPARE(SendToTrash("D:\\two\\a.txt"), 0);
        QString trashDir = m_strHome + "/.local/share/Trash";
        QStringList names = NamesIn(trashDir + "/files");
        QCOMPARE(names.size(), 2);
        QCOMPARE(NamesIn(trashDir + "/info").size(), 2);
        QVERIFY(names.contains("a.txt"));
        names.removeOne("a.txt");
        VerifyTrashed(trashDir, "a.txt", m_strData + "/one/a.txt", "first");
        VerifyTrashed(trashDir, names[0], m_strData + "/two/a.txt", "second");
    }

    void folderAndLink() {
        QVERIFY(QDir().mkpath(m_strData + "/sub/inner"));
        QVERIFY(WriteHostFile(m_strData + "/sub/inner/f.txt", "deep"));
        QVERIFY(WriteHostFile(m_strData + "/target.txt", "target"));
        QVERIFY(QFile::link(m_strData + "/target.txt", m_strData + "/link.txt"));
        QCOMPARE(SendToTrash("D:\\sub\\"), 0);
        QCOMPARE(SendToTrash("D:\\link.txt"), 0);
        QString files = m_strHome + "/.local/share/Trash/files";
        QCOMPARE(ReadHostFile(files + "/sub/inner/f.txt"), QByteArray("deep"));
        QVERIFY(QFileInfo(files + "/link.txt").isSymLink());
        QCOMPARE(NamesIn(m_strData), QStringList{"target.txt"});
        QCOMPARE(ReadHostFile(m_strData + "/target.txt"), QByteArray("target"));
    }

    void longNameFitsTheTrash() {
        QString name = QString(251, 'n') + ".txt";
        QVERIFY(WriteHostFile(m_strData + "/" + name, "long"));
        QCOMPARE(SendToTrash(("D:\\" + name).toStdString()), 0);
        QString trashDir = m_strHome + "/.local/share/Trash";
        QStringList names = NamesIn(trashDir + "/files");
        QCOMPARE(names.size(), 1);
        VerifyTrashed(trashDir, names[0], m_strData + "/" + name, "long");
    }

    // A volume other than the home's has its own trash at its top folder.
    void otherVolume_data() {
        QTest::addColumn<QString>("admin"); // state of "$topdir/.Trash"
        QTest::addColumn<QString>("trash");
        QString uid = QString::number(getuid());
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
        QString volume = m_strData + "/vol";
        if (!MountSmallTmpfs(volume, "size=1m"))
            QSKIP("cannot mount a second volume here");
        auto unmount = qScopeGuard([&] { Unmount(volume); });
        if (admin != "none") {
            QVERIFY(QDir().mkpath(volume + "/.Trash"));
            mode_t mode = admin == "sticky" ? 01777 : 0777;
            QVERIFY(chmod(QFile::encodeName(volume + "/.Trash").constData(), mode) == 0);
        }
        QVERIFY(QDir().mkpath(volume + "/sub"));
        QVERIFY(WriteHostFile(volume + "/sub/x.txt", "on the volume"));

        QCOMPARE(SendToTrash("D:\\vol\\sub\\x.txt"), 0);

        QString trashDir = volume + "/" + trash;
        VerifyTrashed(trashDir, "x.txt", volume + "/sub/x.txt", "on the volume", volume);
        QCOMPARE(HostStat(trashDir).st_mode & 0777, mode_t{0700});
        QVERIFY(!QDir(m_strHome + "/.local/share/Trash").exists());
    }

    // One file system, two mounts: rename cannot cross them, so the trash is
    // chosen by the mount that holds the item, and when rename still answers
    // EXDEV the other trash is tried.
    void bindMounts_data() {
        QTest::addColumn<QString>("bound"); // what is a bind mount
        QTest::newRow("destination") << "data";
        QTest::newRow("home trash's files folder") << "files";
    }
    void bindMounts() {
        QFETCH(QString, bound);
        if (!EnterPrivateMounts())
            QSKIP("no private mount namespace here (needs CAP_SYS_ADMIN)");
        const QString root = QFileInfo(m_strHome).path() + "/ns";
        if (!MountSmallTmpfs(root, "size=1m"))
            QSKIP("cannot mount a tmpfs here");
        auto unmount = qScopeGuard([&] { Unmount(root); });
        const QString home = root + "/home";
        const QString data = root + "/data";
        QVERIFY(QDir().mkpath(home) && QDir().mkpath(data));
        setenv("HOME", QFile::encodeName(home).constData(), 1);
        QString item = data + "/a.txt";
        QString top = root; // the top of the mount that holds the item
        if (bound == "data") {
            QVERIFY(BindMount(data, root + "/bind"));
            item = root + "/bind/a.txt";
            top = root + "/bind";
        } else {
            QVERIFY(BindMount(root + "/elsewhere", home + "/.local/share/Trash/files"));
        }
        auto unbind = qScopeGuard([&] {
            Unmount(root + "/bind");
            Unmount(home + "/.local/share/Trash/files");
        });
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
        QTest::newRow("unmapped drive") << ""
                                        << "Q:\\a.txt" << int(ERROR_PATH_NOT_FOUND);
        QTest::newRow("drive root") << ""
                                    << "D:\\" << int(ERROR_ACCESS_DENIED);
        QTest::newRow("drive root, no separator") << ""
                                                  << "d:" << int(ERROR_ACCESS_DENIED);
        QTest::newRow("trash is a file") << "Trash"
                                         << "D:\\a.txt" << -1;
        QTest::newRow("info is a file") << "Trash/info"
                                        << "D:\\a.txt" << -1;
        QTest::newRow("files is a file") << "Trash/files"
                                         << "D:\\a.txt" << -1;
    }
    void failuresKeepTheItem() {
        QFETCH(QString, blocker);
        QFETCH(QString, path);
        QFETCH(int, expected);
        QString data = m_strHome + "/.local/share";
        QVERIFY(QDir().mkpath(data + "/Trash"));
        if (!blocker.isEmpty()) {
            QDir(data + "/" + blocker).removeRecursively();
            QVERIFY(WriteHostFile(data + "/" + blocker, "in the way"));
        }
        QVERIFY(WriteHostFile(m_strData + "/a.txt", "keep me"));

        int r = SendToTrash(path.toStdString());

        if (expected < 0)
            QVERIFY(r != 0);
        else
            QCOMPARE(r, expected);
        QCOMPARE(ReadHostFile(m_strData + "/a.txt"), QByteArray("keep me"));
        QStringList infos = NamesIn(data + "/Trash/info");
        QVERIFY2(infos.isEmpty(), qPrintable(infos.join(',')));
    }
};

QTEST_GUILESS_MAIN(TestTrash)
#include "tst_Trash.moc"
