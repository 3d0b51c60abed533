// The copy run's file copy: what it carries over and refuses; no damage or stray file left.
#include "platform/ErrorCodes.h"
#include "platform/FileCopy.h"
#include "platform/HostServices.h"
#include "support/HostFiles.h"

#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <memory>
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
    QString Src(const QString& name = "a") const { return m_pTmp->filePath("src/" + name); }
    QString Dst(const QString& name = "a") const { return m_pTmp->filePath("dst/" + name); }
    int Copy() { return CopyFileReplacing("S:\\a", "D:\\a", {}); }

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

    // Each way of copying (in 4 KiB chunks) replaces a longer old file with the bytes, mode, owner,
    // nanosecond time and holes of the source; a link there is replaced, not written through.
    void carriesContentModeAndTime() {
        // clang-format off
        const int cases[][4] = {{kAuto, 0, 0644, 0}, {kCopyRange, (3 << 20) + 7, 0444, 0}, {kReadWrite, 1, 06755, 0},
            {kAuto, 4096, 06755, 0}, {kAuto, 4096, 0644, (8 << 20) - 3}, {kReadWrite, 5, 0644, 8 << 20}, {kAuto, 9, 0666, 0}};
        // clang-format on
        for (const auto& [method, size, mode, hole] : cases) {
            SetCopyTestHooks(HooksFor(method, 4096));
            QVERIFY(QFile::remove(Dst()) && WriteHostFile(Dst(), PatternBytes((3 << 20) + 100, 9)));
            const QByteArray bytes = PatternBytes(size, 3), src = QFile::encodeName(Src());
            QFile file(Src()); // with a hole: the bytes, the hole, the bytes again
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == size &&
                    (!hole || (file.seek(size + hole) && file.write(bytes) == size)));
            file.close();
            QVERIFY(SetTimes(Src(), 1234567890, 987654321));
            QVERIFY(geteuid() != 0 || chown(src.constData(), 1234, 5678) == 0);
            QVERIFY(chmod(src.constData(), static_cast<mode_t>(mode)) == 0);
            QCOMPARE(Copy(), 0);
            const struct stat s = HostStat(Src()), d = HostStat(Dst());
            QVERIFY(ReadHostFile(Dst()) == ReadHostFile(Src()) &&
                    d.st_size == size + (hole ? hole + size : 0));
            QVERIFY(d.st_mode == s.st_mode && d.st_uid == s.st_uid && d.st_gid == s.st_gid);
            QVERIFY(d.st_mtim.tv_sec == s.st_mtim.tv_sec && d.st_mtim.tv_nsec == s.st_mtim.tv_nsec);
            QVERIFY2(d.st_blocks <= s.st_blocks + 64, "the holes were filled");
            QCOMPARE(NamesIn(Dst("")), QStringList{"a"});
            QVERIFY(QFile::remove(Src()));
        }
        QVERIFY(QFile::remove(Dst()) && WriteHostFile(Dst("target"), "outside"));
        QVERIFY(QFile::link(Dst("target"), Dst()) && WriteHostFile(Src(), "new"));
        QCOMPARE(Copy(), 0);
        QVERIFY(S_ISREG(HostStat(Dst()).st_mode) && ReadHostFile(Dst()) == "new");
        QCOMPARE(ReadHostFile(Dst("target")), QByteArray("outside"));
    }

    // Refusals and transfers failing part-way (at a write, at close, by a cancel between chunks)
    // keep the old file, leave no temporary; without the fast path a plain copy is made.
    void failuresKeepTheOldFile() {
        const QByteArray old = ReadHostFile(Dst()), bytes = PatternBytes((5 << 20) + 123, 2);
        QVERIFY(WriteHostFile(Src(), bytes) && WriteHostFile(Dst("ro"), "ro") &&
                QDir().mkpath(Dst("folder/inner")));
        QVERIFY(mkfifo(QFile::encodeName(Src("pipe")).constData(), 0644) == 0 &&
                chmod(QFile::encodeName(Dst("ro")).constData(), 0444) == 0);
        // failAt 0: at close; err 0: cancel; expected -1: any code.
        // clang-format off
        const struct { const char *src, *dst; int method, failAt, err, expected; } cases[] = {
            {"none", "a", kAuto, 0, 0, ERROR_FILE_NOT_FOUND}, {"sub", "a", kAuto, 0, 0, ERROR_ACCESS_DENIED},
            {"pipe", "a", kAuto, 0, 0, ERROR_ACCESS_DENIED}, {"a", "no\\a", kAuto, 0, 0, ERROR_PATH_NOT_FOUND},
            {"a", "ro\\a", kAuto, 0, 0, ERROR_DIRECTORY},
            {"a", "ro", kAuto, 0, 0, ERROR_ACCESS_DENIED}, {"a", "folder", kAuto, 0, 0, ERROR_ACCESS_DENIED},
            {"a", "a", kCopyRange, 1, ENOSPC, ERROR_DISK_FULL}, {"a", "a", kCopyRange, 3, ENOSPC, ERROR_DISK_FULL},
            {"a", "a", kReadWrite, 2, ENOSPC, ERROR_DISK_FULL}, {"a", "a", kAuto, 2, ENOSPC, ERROR_DISK_FULL},
            {"a", "a", kAuto, 0, EIO, -1}, {"a", "a", kCopyRange, 3, 0, ERROR_OPERATION_ABORTED},
            {"a", "a", kReadWrite, 3, 0, ERROR_OPERATION_ABORTED}, {"a", "a", kCopyRange, 1, EXDEV, 0},
            {"a", "a", kCopyRange, 3, EINVAL, 0}, {"a", "a", kCopyRange, 2, ENOSYS, 0}};
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
            QCOMPARE(NamesIn(Dst("")), (QStringList{"a", "folder", "ro"}));
        }
        QVERIFY(ReadHostFile(Dst("ro")) == "ro" && (HostStat(Dst("ro")).st_mode & 0777) == 0444);
        QCOMPARE(NamesIn(Dst("folder")), QStringList{"inner"});
    }

    // Between open folders: plain names only, the refusals of a copy by path, and copies staged
    // together committed one by one, over a file that appeared meanwhile too.
    void copiesBetweenOpenFolders() {
        QVERIFY(WriteHostFile(Src("b"), "bb") && WriteHostFile(Src("c"), "cc"));
        const auto folders = std::make_shared<const CCopyFolders>("S:\\", "D:\\");
        const std::pair<const char*, int> refusals[] = {{"..", ERROR_INVALID_NAME},
                                                        {"sub/b", ERROR_INVALID_NAME},
                                                        {"none", ERROR_FILE_NOT_FOUND}};
        for (const auto& [name, code] : refusals)
            QCOMPARE(CopyFileReplacing(folders, name), code);
        QCOMPARE(CopyFileReplacing(std::make_shared<const CCopyFolders>("S:\\", "D:\\no"), "b"),
                 ERROR_PATH_NOT_FOUND);
        QCOMPARE(CopyFileReplacing(std::make_shared<const CCopyFolders>("S:\\no", "D:\\"), "b"),
                 ERROR_FILE_NOT_FOUND);
        CStagedCopy b, c;
        QVERIFY(c.Stage(folders, "c") == 0 && b.Stage(folders, "b") == 0);
        QVERIFY(WriteHostFile(Dst("b"), "appeared meanwhile"));
        QVERIFY(b.Commit() == 0 && c.Commit() == 0);
        QVERIFY(ReadHostFile(Dst("b")) == "bb" && ReadHostFile(Dst("c")) == "cc");
        QCOMPARE(NamesIn(Dst("")), (QStringList{"a", "b", "c"}));
    }
};

QTEST_GUILESS_MAIN(TestFileCopy)
#include "tst_FileCopy.moc"
