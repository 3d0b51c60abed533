// errno values onto the program's error codes, and their texts.
#include "platform/ErrorCodes.h"

#include <QtTest>
#include <cerrno>

class TestErrorCodes : public QObject {
    Q_OBJECT
private slots:
    void codesAndTexts() {
        // clang-format off
        const int rows[][2] = {{0, 0}, {ENOENT, 2}, {EACCES, 5}, {EPERM, 5}, {EROFS, 5}, {EBUSY, 32},
            {ETXTBSY, 32}, {EEXIST, 183}, {ENOSPC, 112}, {ENOTEMPTY, 145}, {ENOTDIR, 267},
            {ENAMETOOLONG, 206}, {EDQUOT, 1295}, {EIO, 1117}, {ENOMEM, 8}, {EMFILE, 4}, {EINVAL, 87},
            {EPROTO, 1117}}; // no code of its own
        for (const auto& [err, code] : rows)
            QVERIFY2(ErrorFromErrno(err) == code, strerror(err));
        const std::pair<int, const char*> texts[] = {{2, "指定されたファイルが見つかりません。"},
            {3, "指定されたパスが見つかりません。"}, {5, "アクセスが拒否されました。"},
            {32, "プロセスはファイルにアクセスできません。別のプロセスが使用中です。"},
            {112, "ディスクに十分な空き領域がありません。"},
            {183, "既に存在するファイルを作成することはできません。"}, {99999, ""}, {-2, ""}};
        // clang-format on
        for (const auto& [code, text] : texts)
            QCOMPARE(QString::fromStdString(GetSystemErrorText(code)), text);
        // Every code the host layer can produce must be explainable to the user.
        for (int err = 1; err < 134; ++err) {
            const std::string text = GetSystemErrorText(ErrorFromErrno(err));
            QVERIFY2(!text.empty() && text.back() != '\n' && text.back() != '\r', strerror(err));
        }
    }
};

QTEST_GUILESS_MAIN(TestErrorCodes)
#include "tst_ErrorCodes.moc"
