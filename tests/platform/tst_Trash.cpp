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

    // The home trash, or one below XDG_DATA_HOME made as needed; names that
    // need percent signs in the record.
    void homeTrash() {
        const QString name = "資料 a b%#?.txt";
        QVERIFY(WriteHostFile(m_strData + "/" + name, "payload") &&
                WriteHostFile(m_strData + "/x", "x"));
        QCOMPARE(SendToTrash(("D:\\" + name).toStdString()), 0);
        VerifyTrashed(HomeTrash(), name, m_strData + "/" + name, "payload");
        setenv("XDG_DATA_HOME", QFile::encodeName(m_strRoot + "/xdg/data").constData(), 1);
        QCOMPARE(SendToTrash("D:\\x"), 0);
        VerifyTrashed(m_strRoot + "/xdg/data/Trash", "x", m_strData + "/x", "x");
    }

    // Two items of one name, a link (not its target) and a name too long
    // for its record: each has its own place and record.
    void everyItemKeepsItsOwnPlace() {
        const QString longName = QString(251, 'n') + ".txt";
        QVERIFY(QDir().mkpath(m_strData + "/one") && WriteHostFile(m_strData + "/one/a.txt", "1"));
        QVERIFY(WriteHostFile(m_strData + "/a.txt", "2") &&
                WriteHostFile(m_strData + "/" + longName, "3"));
        QVERIFY(QFile::link(m_strData + "/one", m_strData + "/link"));
        for (const QString& item : QStringList{"one\\a.txt", "a.txt", "link", longName})
            QCOMPARE(SendToTrash(("D:\\" + item).toStdString()), 0);
        QStringList names = NamesIn(HomeTrash() + "/files");
        QCOMPARE(NamesIn(HomeTrash() + "/info").size(), 4);
        QVERIFY(names.removeOne("a.txt") && names.removeOne("link") && names.size() == 2);
        VerifyTrashed(HomeTrash(), "a.txt", m_strData + "/one/a.txt", "1");
        QVERIFY(QFileInfo(HomeTrash() + "/files/link").isSymLink());
        const int two = ReadHostFile(HomeTrash() + "/files/" + names[0]) == "2" ? 0 : 1;
        VerifyTrashed(HomeTrash(), names[two], m_strData + "/a.txt", "2");
        VerifyTrashed(HomeTrash(), names[1 - two], m_strData + "/" + longName, "3");
    }

    // A volume other than the home's has its own trash at its top folder,
    // or below an administrator's sticky ".Trash".
    void otherVolume() {
        SKIP_WITHOUT_PRIVATE_MOUNTS();
        const QString volume = m_strData + "/vol", uid = QString::number(getuid());
        QVERIFY(MountTmpfs(volume.toStdString(), "size=1m"));
        auto unmount = qScopeGuard([&] { Unmount(volume.toStdString()); });
        QVERIFY(QDir().mkpath(volume + "/sub") && WriteHostFile(volume + "/sub/x", "x"));
        QCOMPARE(SendToTrash("D:\\vol\\sub\\x"), 0);
        VerifyTrashed(volume + "/.Trash-" + uid, "x", volume + "/sub/x", "x", volume);
        QVERIFY(QDir().mkpath(volume + "/.Trash") &&
                chmod(QFile::encodeName(volume + "/.Trash").constData(), 01777) == 0);
        QVERIFY(WriteHostFile(volume + "/sub/x", "x") && SendToTrash("D:\\vol\\sub\\x") == 0);
        VerifyTrashed(volume + "/.Trash/" + uid, "x", volume + "/sub/x", "x", volume);
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
    void failuresKeepTheItem() {
        const std::pair<const char*, const char*> cases[] = {{"", "D:\\none.txt"},
                                                             {"", "D:\\"},
                                                             {"Trash", "D:\\a.txt"},
                                                             {"Trash/files", "D:\\a.txt"}};
        const QString data = m_strHome + "/.local/share/";
        QVERIFY(WriteHostFile(m_strData + "/a.txt", "keep me"));
        for (const auto& [blocker, path] : cases) {
            QFile::remove(data + "Trash");
            QVERIFY(QDir(data + "Trash").removeRecursively() && QDir().mkpath(data + "Trash"));
            QVERIFY(!*blocker || (QDir(data + blocker).removeRecursively() &&
                                  WriteHostFile(data + blocker, "x")));
            QVERIFY(SendToTrash(path) != 0);
            QCOMPARE(ReadHostFile(m_strData + "/a.txt"), QByteArray("keep me"));
            QCOMPARE(NamesIn(data + "Trash/info"), QStringList());
        }
        QCOMPARE(SendToTrash("D:\\none.txt"), int(ERROR_FILE_NOT_FOUND));
        QCOMPARE(SendToTrash("D:\\"), int(ERROR_ACCESS_DENIED));
    }
};

QTEST_GUILESS_MAIN(TestTrash)
#include "tst_Trash.moc"
