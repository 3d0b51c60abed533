// The desktop trash: items land there with a record to restore from, or stay where they were.
#include "platform/ErrorCodes.h"
#include "platform/HostServices.h"
#include "platform/Trash.h"
#include "support/HostFiles.h"
#include "support/HostPrivileges.h"

#include <QTemporaryDir>
#include <QUrl>
#include <unistd.h>

class TestTrash : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_pTmp;
    QString m_strRoot; // the temporary folder, resolved
    QString m_strData; // host folder of drive D:
    QString HomeTrash() const { return m_strRoot + "/home/.local/share/Trash"; }
    QString Uid() const { return QString::number(getuid()); }
    bool Put(const QString& n, const char* b) { return WriteHostFile(m_strData + "/" + n, b); }

    // trashDir/files/trashName holds bytes; its record names original (relative to base if any).
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
        m_strData = m_strRoot + "/data";
        QVERIFY(QDir().mkpath(m_strRoot + "/home") && QDir().mkpath(m_strData));
        setenv("HOME", QFile::encodeName(m_strRoot + "/home").constData(), 1);
        unsetenv("XDG_DATA_HOME");
        CHostServices::Get().DriveMap().Map('D', m_strData.toStdString());
        CHostServices::Get().SetClock([] { return std::time_t{951782400}; });
    }

    // The home trash: names needing percent signs, namesakes, a link (not its target), a long name.
    void homeTrashAndFailures() {
        const QString name = "資料 a b%#?.txt", longName = QString(251, 'n') + ".txt";
        QVERIFY(Put(name, "payload") && Put("a.txt", "2") && Put(longName, "3"));
        QVERIFY(QDir().mkpath(m_strData + "/one") && Put("one/a.txt", "1") &&
                QFile::link(m_strData + "/one", m_strData + "/link"));
        for (const QString& item : QStringList{name, "one\\a.txt", "a.txt", "link", longName})
            QCOMPARE(SendToTrash(("D:\\" + item).toStdString()), 0);
        VerifyTrashed(HomeTrash(), name, m_strData + "/" + name, "payload");
        QStringList names = NamesIn(HomeTrash() + "/files");
        QCOMPARE(NamesIn(HomeTrash() + "/info").size(), 5);
        QVERIFY(names.removeOne(name) && names.removeOne("a.txt") && names.removeOne("link") &&
                names.size() == 2);
        VerifyTrashed(HomeTrash(), "a.txt", m_strData + "/one/a.txt", "1");
        QVERIFY(QFileInfo(HomeTrash() + "/files/link").isSymLink());
        const int two = ReadHostFile(HomeTrash() + "/files/" + names[0]) == "2" ? 0 : 1;
        VerifyTrashed(HomeTrash(), names[two], m_strData + "/a.txt", "2");
        VerifyTrashed(HomeTrash(), names[1 - two], m_strData + "/" + longName, "3");
        // Whatever goes wrong, the item stays where it was and no record is left.
        // clang-format off
        const std::tuple<const char*, const char*, int> cases[] = {{"", "D:\\none.txt", ERROR_FILE_NOT_FOUND},
            {"", "D:\\", ERROR_ACCESS_DENIED}, {"Trash", "D:\\a.txt", -1}, {"Trash/files", "D:\\a.txt", -1}};
        // clang-format on
        const QString data = m_strRoot + "/home/.local/share/";
        QVERIFY(Put("a.txt", "keep me"));
        for (const auto& [blocker, path, code] : cases) {
            QFile::remove(data + "Trash");
            QVERIFY(QDir(data + "Trash").removeRecursively() && QDir().mkpath(data + "Trash"));
            QVERIFY(!*blocker || (QDir(data + blocker).removeRecursively() &&
                                  WriteHostFile(data + blocker, "x")));
            const int r = SendToTrash(path);
            QVERIFY2(code < 0 ? r != 0 : r == code, path);
            QCOMPARE(ReadHostFile(m_strData + "/a.txt"), QByteArray("keep me"));
            QCOMPARE(NamesIn(data + "Trash/info"), QStringList());
        }
    }

    // Another volume has its trash at its top, or below an administrator's sticky ".Trash".
    void otherVolume() {
        SKIP_WITHOUT_PRIVATE_MOUNTS();
        const QString vol = m_strData + "/vol";
        QVERIFY(MountTmpfs(vol.toStdString(), "size=1m"));
        auto unmount = qScopeGuard([&] { Unmount(vol.toStdString()); });
        QVERIFY(QDir().mkpath(vol + "/sub") && Put("vol/sub/x", "x"));
        QCOMPARE(SendToTrash("D:\\vol\\sub\\x"), 0);
        VerifyTrashed(vol + "/.Trash-" + Uid(), "x", vol + "/sub/x", "x", vol);
        QVERIFY(QDir().mkpath(vol + "/.Trash") &&
                chmod(QFile::encodeName(vol + "/.Trash").constData(), 01777) == 0);
        QVERIFY(Put("vol/sub/x", "x") && SendToTrash("D:\\vol\\sub\\x") == 0);
        VerifyTrashed(vol + "/.Trash/" + Uid(), "x", vol + "/sub/x", "x", vol);
        QVERIFY(!QDir(HomeTrash()).exists());
    }
};

QTEST_GUILESS_MAIN(TestTrash)
#include "tst_Trash.moc"
