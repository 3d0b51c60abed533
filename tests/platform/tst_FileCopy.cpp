// The copy run's file copy: what it carries over, what it refuses, and that
// no failure or cancel ever leaves a damaged destination or a stray file.
#include "platform/ErrorCodes.h"
#include "platform/FileCopy.h"
#include "platform/HostServices.h"
#include "support/HostFiles.h"

#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <unistd.h>

namespace {
enum EMethod { kAuto, kCopyRange, kReadWrite };

CCopyTestHooks HooksFor(int method, size_t chunk = 1 << 20) {
    return {
        .bNoClone = method != kAuto, .bNoCopyRange = method == kReadWrite, .nChunkBytes = chunk};
}

bool SetTimes(const QString& path, long sec, long nsec) {
    const timespec times[2] = {{sec, 0}, {sec, nsec}};
    return utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}
} // namespace

class TestFileCopy : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_pTmp; // S: and D: are its folders src and dst
    QString Src(const QString& name = "a.bin") const { return m_pTmp->filePath("src/" + name); }
    QString Dst(const QString& name = "a.bin") const { return m_pTmp->filePath("dst/" + name); }
    int Copy(const std::function<bool()>& onChunk = {}) {
        return CopyFileReplacing("S:\\a.bin", "D:\\a.bin", onChunk);
    }

private slots:
    void init() {
        m_pTmp = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkpath(Src("sub")) && QDir().mkpath(Dst("")));
        CHostServices::Get().DriveMap().Map('S', Src("").toStdString());
        CHostServices::Get().DriveMap().Map('D', Dst("").toStdString());
        QVERIFY(WriteHostFile(Dst(), PatternBytes((3 << 20) + 100, 9)) &&
                SetTimes(Dst(), 1500000000, 1));
    }
    void cleanup() { SetCopyTestHooks({}); }

    // Each way of copying replaces a longer old file with the bytes, mode,
    // owner and nanosecond time of the source. A link in the destination is
    // replaced, never written through.
    void carriesContentModeAndTime() {
        // clang-format off
        const int cases[][3] = {{kAuto, 0, 0644}, {kCopyRange, (3 << 20) + 7, 0444}, {kReadWrite, 1, 06755},
                                {kAuto, 4096, 06755}};
        // clang-format on
        for (const auto& [method, size, mode] : cases) {
            SetCopyTestHooks(HooksFor(method));
            QVERIFY(QFile::remove(Dst()) && WriteHostFile(Dst(), PatternBytes((3 << 20) + 100, 9)));
            const QByteArray bytes = PatternBytes(size, 3), src = QFile::encodeName(Src());
            QVERIFY(WriteHostFile(Src(), bytes) && SetTimes(Src(), 1234567890, 987654321));
            QVERIFY(geteuid() != 0 || chown(src.constData(), 1234, 5678) == 0);
            QVERIFY(chmod(src.constData(), static_cast<mode_t>(mode)) == 0);
            QCOMPARE(Copy(), 0);
            const struct stat s = HostStat(Src()), d = HostStat(Dst());
            QCOMPARE(ReadHostFile(Dst()), bytes);
            QVERIFY(d.st_mode == s.st_mode && d.st_uid == s.st_uid && d.st_gid == s.st_gid);
            QVERIFY(d.st_mtim.tv_sec == s.st_mtim.tv_sec && d.st_mtim.tv_nsec == s.st_mtim.tv_nsec);
            QCOMPARE(NamesIn(Dst("")), QStringList{"a.bin"});
            QVERIFY(QFile::remove(Src()));
        }
        QVERIFY(QFile::remove(Dst()) && WriteHostFile(Dst("target"), "outside"));
        QVERIFY(QFile::link(Dst("target"), Dst()) && WriteHostFile(Src(), "new"));
        QCOMPARE(Copy(), 0);
        QVERIFY(S_ISREG(HostStat(Dst()).st_mode) && ReadHostFile(Dst()) == "new");
        QCOMPARE(ReadHostFile(Dst("target")), QByteArray("outside"));
    }

    // Refusals, and transfers that fail part-way (at a write, at close, or by
    // a cancel between chunks), keep the old file and leave no temporary. A
    // file system that cannot do the fast path falls back to a plain copy.
    void failuresKeepTheOldFile() {
        const QByteArray old = ReadHostFile(Dst()), bytes = PatternBytes((5 << 20) + 123, 2);
        QVERIFY(WriteHostFile(Src(), bytes) && WriteHostFile(Dst("ro.bin"), "ro") &&
                QDir().mkpath(Dst("folder/inner")));
        QVERIFY(mkfifo(QFile::encodeName(Src("pipe")).constData(), 0644) == 0 &&
                chmod(QFile::encodeName(Dst("ro.bin")).constData(), 0444) == 0);
        // failAt 0: at close; err 0: cancel; expected -1: any code.
        // clang-format off
        const struct { const char *src, *dst; int method, failAt, err, expected; } cases[] = {
            {"none", "a.bin", kAuto, 0, 0, ERROR_FILE_NOT_FOUND}, {"sub", "a.bin", kAuto, 0, 0, ERROR_ACCESS_DENIED},
            {"pipe", "a.bin", kAuto, 0, 0, ERROR_ACCESS_DENIED}, {"a.bin", "no\\a", kAuto, 0, 0, ERROR_PATH_NOT_FOUND},
            {"a.bin", "ro.bin", kAuto, 0, 0, ERROR_ACCESS_DENIED}, {"a.bin", "folder", kAuto, 0, 0, ERROR_ACCESS_DENIED},
            {"a.bin", "a.bin", kCopyRange, 1, ENOSPC, ERROR_DISK_FULL}, {"a.bin", "a.bin", kCopyRange, 3, ENOSPC, ERROR_DISK_FULL},
            {"a.bin", "a.bin", kReadWrite, 2, ENOSPC, ERROR_DISK_FULL}, {"a.bin", "a.bin", kAuto, 2, ENOSPC, ERROR_DISK_FULL},
            {"a.bin", "a.bin", kAuto, 0, EIO, -1}, {"a.bin", "a.bin", kCopyRange, 3, 0, ERROR_OPERATION_ABORTED},
            {"a.bin", "a.bin", kReadWrite, 3, 0, ERROR_OPERATION_ABORTED}, {"a.bin", "a.bin", kCopyRange, 1, EXDEV, 0},
            {"a.bin", "a.bin", kCopyRange, 3, EINVAL, 0}, {"a.bin", "a.bin", kCopyRange, 2, ENOSYS, 0}};
        // clang-format on
        for (const auto& c : cases) {
            CCopyTestHooks hooks = HooksFor(c.method);
            (c.failAt ? hooks.nWriteErrno : hooks.nCloseErrno) = c.err;
            hooks.nFailAtWrite = c.err ? c.failAt : 0;
            SetCopyTestHooks(hooks);
            int calls = 0;
            const int code =
                CopyFileReplacing(std::string("S:\\") + c.src, std::string("D:\\") + c.dst,
                                  [&] { return c.err || ++calls < c.failAt; });
            QVERIFY2(c.expected < 0 ? code != 0 : code == c.expected,
                     qPrintable(QString::number(code)));
            // The failures come first: the old file is gone from the first success on.
            QVERIFY(c.expected == 0 ? ReadHostFile(Dst()) == bytes
                                    : ReadHostFile(Dst()) == old &&
                                          HostStat(Dst()).st_mtim.tv_sec == 1500000000);
            QCOMPARE(NamesIn(Dst("")), (QStringList{"a.bin", "folder", "ro.bin"}));
        }
        QVERIFY(ReadHostFile(Dst("ro.bin")) == "ro" &&
                (HostStat(Dst("ro.bin")).st_mode & 0777) == 0444);
        QCOMPARE(NamesIn(Dst("folder")), QStringList{"inner"});
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
