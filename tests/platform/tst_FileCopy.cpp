// The copy run's file copy: what it carries over, what it refuses, and that
// no failure or cancel ever leaves a damaged destination or a stray file.

#include "support/HostFiles.h"

#include "platform/ErrorCodes.h"
#include "platform/FileCopy.h"
#include "platform/HostServices.h"

#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum EMethod { kAuto, kCopyRange, kReadWrite };

CCopyTestHooks HooksFor(int method) {
    CCopyTestHooks hooks;
    hooks.bNoClone = method != kAuto;
    hooks.bNoCopyRange = method == kReadWrite;
    return hooks;
}

void SetTimes(const QString& path, timespec mtime) {
    const timespec times[2] = {{1000000000, 0}, mtime};
    utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

} // namespace

class TestFileCopy : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_pTmp;
    QString m_strSrc; // host folder of drive S:
    QString m_strDst; // host folder of drive D:

    QString Src(const QString& name) const { return m_strSrc + "/" + name; }
    QString Dst(const QString& name) const { return m_strDst + "/" + name; }

    // An old destination whose survival the fault tests check.
    void MakeOldDestination(const QByteArray& bytes) {
        QVERIFY(WriteHostFile(Dst("a.bin"), bytes));
        SetTimes(Dst("a.bin"), {1500000000, 111});
    }

    void VerifyOldDestinationIntact(const QByteArray& bytes) {
        QCOMPARE(ReadHostFile(Dst("a.bin")), bytes);
        QCOMPARE(HostStat(Dst("a.bin")).st_mtim.tv_sec, 1500000000);
        QCOMPARE(NamesIn(m_strDst), QStringList{"a.bin"});
    }

private slots:
    void init() {
        m_pTmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_pTmp->isValid());
        m_strSrc = m_pTmp->filePath("src");
        m_strDst = m_pTmp->filePath("dst");
        QVERIFY(QDir().mkpath(m_strSrc) && QDir().mkpath(m_strDst));
        CDriveMap& map = CHostServices::Get().DriveMap();
        map.Map('S', m_strSrc.toStdString());
        map.Map('D', m_strDst.toStdString());
    }

    void cleanup() {
        SetCopyTestHooks({});
        m_pTmp.reset();
    }

    void carriesContentModeAndTime_data() {
        QTest::addColumn<int>("method");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("mode");
        for (int method : {kAuto, kCopyRange, kReadWrite}) {
            const char* tag = method == kAuto ? "auto" : method == kCopyRange ? "range" : "rw";
            QTest::addRow("%s empty", tag) << method << 0 << 0644;
            QTest::addRow("%s one byte", tag) << method << 1 << 0600;
            QTest::addRow("%s odd size read-only", tag) << method << (3 << 20) + 7 << 0444;
            QTest::addRow("%s executable", tag) << method << 4096 << 0755;
        }
    }
    void carriesContentModeAndTime() {
        QFETCH(int, method);
        QFETCH(int, size);
        QFETCH(int, mode);
        SetCopyTestHooks(HooksFor(method));
        QByteArray bytes = PatternBytes(size, 3);
        QVERIFY(WriteHostFile(Src("a.bin"), bytes));
        SetTimes(Src("a.bin"), {1234567890, 987654321});
        QVERIFY(chmod(QFile::encodeName(Src("a.bin")).constData(), static_cast<mode_t>(mode)) == 0);

        QCOMPARE(CopyFileReplacing("S:\\a.bin", "D:\\a.bin"), 0);

        struct stat src = HostStat(Src("a.bin"));
        struct stat dst = HostStat(Dst("a.bin"));
        QCOMPARE(ReadHostFile(Dst("a.bin")), bytes);
        QCOMPARE(dst.st_mode & 07777, src.st_mode & 07777);
        QCOMPARE(dst.st_mtim.tv_sec, src.st_mtim.tv_sec);
        QCOMPARE(dst.st_mtim.tv_nsec, src.st_mtim.tv_nsec);
        QCOMPARE(NamesIn(m_strDst), QStringList{"a.bin"});
    }

    void replacesExistingFile() {
        MakeOldDestination(PatternBytes(100000, 9)); // longer than the new one
        QByteArray bytes = PatternBytes(5000, 1);
        QVERIFY(WriteHostFile(Src("a.bin"), bytes));
        QCOMPARE(CopyFileReplacing("S:\\a.bin", "D:\\a.bin"), 0);
        QCOMPARE(ReadHostFile(Dst("a.bin")), bytes);
        QCOMPARE(HostStat(Dst("a.bin")).st_mtim.tv_sec, HostStat(Src("a.bin")).st_mtim.tv_sec);
        QCOMPARE(NamesIn(m_strDst), QStringList{"a.bin"});
    }

    void replacesLinkNotItsTarget() {
        QVERIFY(WriteHostFile(m_pTmp->filePath("target"), "outside"));
        QVERIFY(QFile::link(m_pTmp->filePath("target"), Dst("a.bin")));
        QVERIFY(WriteHostFile(Src("a.bin"), "new"));
        QCOMPARE(CopyFileReplacing("S:\\a.bin", "D:\\a.bin"), 0);
        QVERIFY(S_ISREG(HostStat(Dst("a.bin")).st_mode));
        QCOMPARE(ReadHostFile(Dst("a.bin")), QByteArray("new"));
        QCOMPARE(ReadHostFile(m_pTmp->filePath("target")), QByteArray("outside"));
    }

    void keepsOwnerAndSetIdBitsAsRoot() {
        if (geteuid() != 0)
            QSKIP("needs root to give the source another owner");
        QVERIFY(WriteHostFile(Src("a.bin"), "x"));
        QByteArray src = QFile::encodeName(Src("a.bin"));
        QVERIFY(chown(src.constData(), 1234, 5678) == 0);
        QVERIFY(chmod(src.constData(), 06755) == 0);
        QCOMPARE(CopyFileReplacing("S:\\a.bin", "D:\\a.bin"), 0);
        struct stat dst = HostStat(Dst("a.bin"));
        QCOMPARE(dst.st_uid, uid_t{1234});
        QCOMPARE(dst.st_gid, gid_t{5678});
        QCOMPARE(dst.st_mode & 07777, mode_t{06755});
    }

    // Each case: the copy is refused with the code and nothing changes.
    void refusals_data() {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("src");
        QTest::addColumn<QString>("dst");
        QTest::addColumn<int>("expected");
        QTest::newRow("read-only destination") << "readonly"
                                               << "S:\\a.bin"
                                               << "D:\\a.bin" << int(ERROR_ACCESS_DENIED);
        QTest::newRow("destination is a folder") << "folder"
                                                 << "S:\\a.bin"
                                                 << "D:\\a.bin" << int(ERROR_ACCESS_DENIED);
        QTest::newRow("missing source") << "none"
                                        << "S:\\none.bin"
                                        << "D:\\a.bin" << int(ERROR_FILE_NOT_FOUND);
        QTest::newRow("source is a folder") << "none"
                                            << "S:\\sub"
                                            << "D:\\a.bin" << int(ERROR_ACCESS_DENIED);
        QTest::newRow("source is a named pipe") << "none"
                                                << "S:\\pipe"
                                                << "D:\\a.bin" << int(ERROR_ACCESS_DENIED);
        QTest::newRow("destination folder missing") << "none"
                                                    << "S:\\a.bin"
                                                    << "D:\\no\\a.bin" << int(ERROR_PATH_NOT_FOUND);
        QTest::newRow("unmapped source drive") << "none"
                                               << "Q:\\a.bin"
                                               << "D:\\a.bin" << int(ERROR_PATH_NOT_FOUND);
        QTest::newRow("unmapped destination drive") << "none"
                                                    << "S:\\a.bin"
                                                    << "Q:\\a.bin" << int(ERROR_PATH_NOT_FOUND);
    }
    void refusals() {
        QFETCH(QString, situation);
        QFETCH(QString, src);
        QFETCH(QString, dst);
        QFETCH(int, expected);
        QVERIFY(WriteHostFile(Src("a.bin"), "new contents"));
        QVERIFY(QDir().mkpath(Src("sub")));
        QVERIFY(mkfifo(QFile::encodeName(Src("pipe")).constData(), 0644) == 0);
        QByteArray old = "old contents";
        if (situation == "folder") {
            QVERIFY(QDir().mkpath(Dst("a.bin/inner")));
        } else {
            QVERIFY(WriteHostFile(Dst("a.bin"), old));
        }
        if (situation == "readonly")
            QVERIFY(chmod(QFile::encodeName(Dst("a.bin")).constData(), 0444) == 0);
        mode_t modeBefore = HostStat(Dst("a.bin")).st_mode;

        QCOMPARE(CopyFileReplacing(src.toStdString(), dst.toStdString()), expected);

        QCOMPARE(HostStat(Dst("a.bin")).st_mode, modeBefore);
        if (situation == "folder")
            QCOMPARE(NamesIn(Dst("a.bin")), QStringList{"inner"});
        else
            QCOMPARE(ReadHostFile(Dst("a.bin")), old);
        QCOMPARE(NamesIn(m_strDst), QStringList{"a.bin"});
    }

    // A transfer fails part-way: the old file stays, no temporary file
    // remains; a file system that cannot do the fast path falls back to a
    // plain copy even in the middle of the file.
    void transferFaults_data() {
        QTest::addColumn<int>("method");
        QTest::addColumn<int>("failAt");
        QTest::addColumn<int>("err");
        QTest::addColumn<int>("expected");
        QTest::newRow("range full at once")
            << int(kCopyRange) << 1 << ENOSPC << int(ERROR_DISK_FULL);
        QTest::newRow("range full later") << int(kCopyRange) << 3 << ENOSPC << int(ERROR_DISK_FULL);
        QTest::newRow("rw full later") << int(kReadWrite) << 2 << ENOSPC << int(ERROR_DISK_FULL);
        QTest::newRow("auto full") << int(kAuto) << 2 << ENOSPC << int(ERROR_DISK_FULL);
        QTest::newRow("range unsupported at start") << int(kCopyRange) << 1 << EXDEV << 0;
        QTest::newRow("range unsupported midway") << int(kCopyRange) << 3 << EINVAL << 0;
        QTest::newRow("range missing midway") << int(kCopyRange) << 2 << ENOSYS << 0;
    }
    void transferFaults() {
        QFETCH(int, method);
        QFETCH(int, failAt);
        QFETCH(int, err);
        QFETCH(int, expected);
        QByteArray old = PatternBytes(70000, 5);
        MakeOldDestination(old);
        QByteArray bytes = PatternBytes((5 << 20) + 123, 2);
        QVERIFY(WriteHostFile(Src("a.bin"), bytes));
        CCopyTestHooks hooks = HooksFor(method);
        hooks.nFailAtWrite = failAt;
        hooks.nWriteErrno = err;
        hooks.nChunkBytes = 1 << 20;
        SetCopyTestHooks(hooks);

        QCOMPARE(CopyFileReplacing("S:\\a.bin", "D:\\a.bin"), expected);

        if (expected != 0) {
            VerifyOldDestinationIntact(old);
        } else {
            QCOMPARE(ReadHostFile(Dst("a.bin")), bytes);
            QCOMPARE(NamesIn(m_strDst), QStringList{"a.bin"});
        }
    }

    void lateWriteErrorKeepsOldFile() {
        QByteArray old = "old";
        MakeOldDestination(old);
        QVERIFY(WriteHostFile(Src("a.bin"), "new"));
        CCopyTestHooks hooks;
        hooks.nCloseErrno = EIO; // a delayed write error shows at close
        SetCopyTestHooks(hooks);
        QVERIFY(CopyFileReplacing("S:\\a.bin", "D:\\a.bin") != 0);
        VerifyOldDestinationIntact(old);
    }

    void cancelBetweenChunks_data() {
        QTest::addColumn<int>("method");
        QTest::newRow("range") << int(kCopyRange);
        QTest::newRow("rw") << int(kReadWrite);
    }
    void cancelBetweenChunks() {
        QFETCH(int, method);
        QByteArray old = "old";
        MakeOldDestination(old);
        QVERIFY(WriteHostFile(Src("a.bin"), PatternBytes(1 << 20, 4)));
        CCopyTestHooks hooks = HooksFor(method);
        hooks.nChunkBytes = 64 << 10;
        SetCopyTestHooks(hooks);
        int calls = 0;
        int r = CopyFileReplacing("S:\\a.bin", "D:\\a.bin", [&] { return ++calls < 3; });
        QCOMPARE(r, int(ERROR_OPERATION_ABORTED));
        QCOMPARE(calls, 3);
        VerifyOldDestinationIntact(old);
    }

    // A large file with holes goes through many chunks, each letting the
    // window breathe, and arrives identical, with its holes kept.
    void largeSparseFile_data() {
        QTest::addColumn<int>("method");
        QTest::newRow("auto") << int(kAuto);
        QTest::newRow("rw") << int(kReadWrite);
    }
    void largeSparseFile() {
        QFETCH(int, method);
        CCopyTestHooks hooks = HooksFor(method);
        hooks.nChunkBytes = 4096; // only the data is copied: 16 KiB of it
        SetCopyTestHooks(hooks);
        const qint64 size = qint64{40} << 20;
        {
            QFile file(Src("big.bin"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(size));
            for (qint64 at : {qint64{0}, size / 2 - 3, size - 4096}) {
                QVERIFY(file.seek(at));
                QVERIFY(file.write(PatternBytes(4096, static_cast<char>(at))) == 4096);
            }
        }
        int calls = 0;
        QCOMPARE(CopyFileReplacing("S:\\big.bin", "D:\\big.bin", [&] { return ++calls > 0; }), 0);
        QVERIFY2(calls >= 4, qPrintable(QString::number(calls)));
        QCOMPARE(HostStat(Dst("big.bin")).st_size, size);
        QVERIFY(ReadHostFile(Dst("big.bin")) == ReadHostFile(Src("big.bin")));
        const blkcnt_t srcBlocks = HostStat(Src("big.bin")).st_blocks;
        if (srcBlocks * 512 >= size / 2)
            QSKIP("this file system keeps no holes");
        const blkcnt_t dstBlocks = HostStat(Dst("big.bin")).st_blocks;
        QVERIFY2(dstBlocks <= srcBlocks + 256,
                 qPrintable(QString("%1 blocks, source %2").arg(dstBlocks).arg(srcBlocks)));
    }

    // A really full volume, not an injected error.
    void fullVolume() {
        QString volume = m_pTmp->filePath("small");
        if (!MountSmallTmpfs(volume, "size=64k"))
            QSKIP("cannot mount a small tmpfs here");
        auto unmount = qScopeGuard([&] { Unmount(volume); });
        CHostServices::Get().DriveMap().Map('D', volume.toStdString());
        m_strDst = volume;
        QByteArray old = PatternBytes(10000, 8);
        MakeOldDestination(old);
        QVERIFY(WriteHostFile(Src("a.bin"), PatternBytes(200000, 6)));

        QCOMPARE(CopyFileReplacing("S:\\a.bin", "D:\\a.bin"), int(ERROR_DISK_FULL));
        VerifyOldDestinationIntact(old);
    }
};

QTEST_GUILESS_MAIN(TestFileCopy)
#include "tst_FileCopy.moc"
