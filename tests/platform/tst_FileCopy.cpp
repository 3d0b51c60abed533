// The copy run's file copy: what it carries over, what it refuses, and that
// no failure or cancel ever leaves a damaged destination or a stray file.
#include "support/HostFiles.h"

#include "platform/ErrorCodes.h"
#include "platform/FileCopy.h"
#include "platform/HostServices.h"

#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

namespace {
enum EMethod { kAuto, kCopyRange, kReadWrite };

CCopyTestHooks HooksFor(int method, int chunk = 1 << 20) {
    CCopyTestHooks hooks;
    hooks.bNoClone = method != kAuto;
    hooks.bNoCopyRange = method == kReadWrite;
    hooks.nChunkBytes = chunk;
    return hooks;
}

bool SetTimes(const QString& path, long sec, long nsec) {
    const timespec times[2] = {{sec, 0}, {sec, nsec}};
    return utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}
} // namespace

class TestFileCopy : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp;
    QString m_strSrc, m_strDst; // host folders of S: and D:, fresh for each test
    QString Src(const QString& name = "a.bin") const { return m_strSrc + "/" + name; }
    QString Dst(const QString& name = "a.bin") const { return m_strDst + "/" + name; }
    int Copy(const std::function<bool()>& onChunk = {}) {
        return CopyFileReplacing("S:\\a.bin", "D:\\a.bin", onChunk);
    }
    // The old destination with its time, and nothing else, is still there.
    void VerifyOldIntact(const QByteArray& bytes) {
        QCOMPARE(ReadHostFile(Dst()), bytes);
        QCOMPARE(HostStat(Dst()).st_mtim.tv_sec, 1500000000);
        QCOMPARE(NamesIn(m_strDst), QStringList{"a.bin"});
    }

private slots:
    void init() {
        static int count = 0;
        m_strSrc = m_tmp.filePath(QString("src%1").arg(++count));
        m_strDst = m_tmp.filePath(QString("dst%1").arg(count));
        QVERIFY(QDir().mkpath(m_strSrc) && QDir().mkpath(m_strDst));
        QVERIFY(WriteHostFile(Dst(), PatternBytes((3 << 20) + 100, 9)) &&
                SetTimes(Dst(), 1500000000, 1));
        CHostServices::Get().DriveMap().Map('S', m_strSrc.toStdString());
        CHostServices::Get().DriveMap().Map('D', m_strDst.toStdString());
    }
    void cleanup() { SetCopyTestHooks({}); }

    // Each way of copying replaces a longer old file with the bytes, mode,
    // owner and nanosecond time of the source.
    void carriesContentModeAndTime() {
        const int cases[][3] = {{kAuto, 0, 0644},
                                {kCopyRange, (3 << 20) + 7, 0444},
                                {kReadWrite, 1, 06755},
                                {kAuto, 4096, 06755}};
        for (const auto& [method, size, mode] : cases) {
            SetCopyTestHooks(HooksFor(method));
            QVERIFY(QFile::remove(Dst()) && WriteHostFile(Dst(), PatternBytes((3 << 20) + 100, 9)));
            const QByteArray bytes = PatternBytes(size, 3);
            const QByteArray src = QFile::encodeName(Src());
            QVERIFY(WriteHostFile(Src(), bytes) && SetTimes(Src(), 1234567890, 987654321));
            QVERIFY(geteuid() != 0 || chown(src.constData(), 1234, 5678) == 0);
            QVERIFY(chmod(src.constData(), static_cast<mode_t>(mode)) == 0);
            QCOMPARE(Copy(), 0);
            const struct stat s = HostStat(Src()), d = HostStat(Dst());
            QCOMPARE(ReadHostFile(Dst()), bytes);
            QVERIFY(d.st_mode == s.st_mode && d.st_uid == s.st_uid && d.st_gid == s.st_gid);
            QVERIFY(d.st_mtim.tv_sec == s.st_mtim.tv_sec && d.st_mtim.tv_nsec == s.st_mtim.tv_nsec);
            QCOMPARE(NamesIn(m_strDst), QStringList{"a.bin"});
            QVERIFY(QFile::remove(Src()));
        }
    }

    // A link in the destination is replaced, never written through.
    void replacesLinkNotItsTarget() {
        QVERIFY(QFile::remove(Dst()) && WriteHostFile(Dst("target"), "outside"));
        QVERIFY(QFile::link(Dst("target"), Dst()) && WriteHostFile(Src(), "new"));
        QCOMPARE(Copy(), 0);
        QVERIFY(S_ISREG(HostStat(Dst()).st_mode) && ReadHostFile(Dst()) == "new");
        QCOMPARE(ReadHostFile(Dst("target")), QByteArray("outside"));
    }

    // Each refusal has its code and changes nothing.
    void refusals() {
        const QByteArray old = ReadHostFile(Dst());
        QVERIFY(QDir().mkpath(Src("sub")) &&
                mkfifo(QFile::encodeName(Src("pipe")).constData(), 0644) == 0);
        QVERIFY(WriteHostFile(Src(), "new"));
        QCOMPARE(CopyFileReplacing("S:\\none", "D:\\a.bin"), int(ERROR_FILE_NOT_FOUND));
        QCOMPARE(CopyFileReplacing("S:\\sub", "D:\\a.bin"), int(ERROR_ACCESS_DENIED));
        QCOMPARE(CopyFileReplacing("S:\\pipe", "D:\\a.bin"), int(ERROR_ACCESS_DENIED));
        QCOMPARE(CopyFileReplacing("S:\\a.bin", "D:\\no\\a.bin"), int(ERROR_PATH_NOT_FOUND));
        QVERIFY(chmod(QFile::encodeName(Dst()).constData(), 0444) == 0);
        QCOMPARE(Copy(), int(ERROR_ACCESS_DENIED));
        QCOMPARE(HostStat(Dst()).st_mode & 0777, mode_t{0444});
        VerifyOldIntact(old);
        QVERIFY(QDir().mkpath(Dst("folder/inner")));
        QCOMPARE(CopyFileReplacing("S:\\a.bin", "D:\\folder"), int(ERROR_ACCESS_DENIED));
        QCOMPARE(NamesIn(Dst("folder")), QStringList{"inner"});
    }

    // A transfer fails part-way (at a write, at close, or by a cancel
    // between chunks): the old file stays, no temporary remains. A file
    // system that cannot do the fast path falls back to a plain copy.
    void transferFaults() {
        const struct {
            int method, failAt, err,
                expected; // failAt 0: at close; err 0: cancel; expected -1: any code
        } cases[] = {{kCopyRange, 1, ENOSPC, ERROR_DISK_FULL},
                     {kCopyRange, 3, ENOSPC, ERROR_DISK_FULL},
                     {kReadWrite, 2, ENOSPC, ERROR_DISK_FULL},
                     {kAuto, 2, ENOSPC, ERROR_DISK_FULL},
                     {kAuto, 0, EIO, -1},
                     {kCopyRange, 3, 0, ERROR_OPERATION_ABORTED},
                     {kReadWrite, 3, 0, ERROR_OPERATION_ABORTED},
                     {kCopyRange, 1, EXDEV, 0},
                     {kCopyRange, 3, EINVAL, 0},
                     {kCopyRange, 2, ENOSYS, 0}};
        const QByteArray old = ReadHostFile(Dst());
        const QByteArray bytes = PatternBytes((5 << 20) + 123, 2);
        QVERIFY(WriteHostFile(Src(), bytes));
        for (const auto& c : cases) {
            CCopyTestHooks hooks = HooksFor(c.method);
            (c.failAt ? hooks.nWriteErrno : hooks.nCloseErrno) = c.err;
            hooks.nFailAtWrite = c.err ? c.failAt : 0;
            SetCopyTestHooks(hooks);
            int calls = 0;
            const int code = Copy([&] { return c.err || ++calls < c.failAt; });
            QVERIFY2(c.expected < 0 ? code != 0 : code == c.expected,
                     qPrintable(QString::number(code)));
            if (c.expected == 0) // the failures come first: the old file is gone from here on
                QCOMPARE(ReadHostFile(Dst()), bytes);
            else
                VerifyOldIntact(old);
        }
    }

    // A large file with holes goes through many chunks, each letting the
    // window breathe, and arrives identical, with its holes kept.
    void largeSparseFile() {
        const qint64 size = qint64{8} << 20;
        QFile file(Src());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(size));
        for (qint64 at : {qint64{0}, size / 2 - 3, size - 4096})
            QVERIFY(file.seek(at) && file.write(PatternBytes(4096, static_cast<char>(at))) == 4096);
        file.close();
        const blkcnt_t srcBlocks = HostStat(Src()).st_blocks;
        for (int method : {kAuto, kReadWrite}) {
            SetCopyTestHooks(HooksFor(method, 4096)); // only the data is copied: 12 KiB of it
            int calls = 0;
            QCOMPARE(Copy([&] { return ++calls > 0; }), 0);
            QVERIFY2(calls >= 4, qPrintable(QString::number(calls)));
            QVERIFY(ReadHostFile(Dst()) == ReadHostFile(Src()));
            if (srcBlocks * 512 >= size / 2)
                QSKIP("this file system keeps no holes");
            QVERIFY2(HostStat(Dst()).st_blocks <= srcBlocks + 256, "the holes were filled");
        }
    }
};

QTEST_GUILESS_MAIN(TestFileCopy)
#include "tst_FileCopy.moc"
