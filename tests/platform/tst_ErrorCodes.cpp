// errno values onto the program's error codes, and their texts.

#include "platform/ErrorCodes.h"

#include <QtTest>

#include <cerrno>

class TestErrorCodes : public QObject {
    Q_OBJECT
private slots:
    void fromErrno() {
        const int rows[][2] = {
            {0, 0},         {ENOENT, 2},         {EACCES, 5},    {EPERM, 5},    {EROFS, 5},
            {EBUSY, 32},    {ETXTBSY, 32},       {EEXIST, 183},  {ENOSPC, 112}, {ENOTEMPTY, 145},
            {ENOTDIR, 267}, {ENAMETOOLONG, 206}, {EDQUOT, 1295}, {EIO, 1117},   {ENOMEM, 8},
            {EMFILE, 4},    {EINVAL, 87},        {EPROTO, 1117}}; // no code of its own
        for (const auto& [err, code] : rows)
            QVERIFY2(ErrorFromErrno(err) == code, strerror(err));
    }

    void texts() {
        QCOMPARE(GetSystemErrorText(2), std::string("指定されたファイルが見つかりません。"));
        QCOMPARE(GetSystemErrorText(3), std::string("指定されたパスが見つかりません。"));
        QCOMPARE(GetSystemErrorText(5), std::string("アクセスが拒否されました。"));
        QCOMPARE(GetSystemErrorText(32),
                 std::string("プロセスはファイルにアクセスできません。別のプロセスが使用中です。"));
        QCOMPARE(GetSystemErrorText(112), std::string("ディスクに十分な空き領域がありません。"));
        QCOMPARE(GetSystemErrorText(183),
                 std::string("既に存在するファイルを作成することはできません。"));
        QVERIFY(GetSystemErrorText(99999).empty() && GetSystemErrorText(-2).empty());
        // Every code the host layer can produce must be explainable to the user.
        for (int err = 1; err < 134; ++err) {
            const std::string text = GetSystemErrorText(ErrorFromErrno(err));
            QVERIFY2(!text.empty() && text.back() != '\n' && text.back() != '\r', strerror(err));
        }
    }
};

QTEST_GUILESS_MAIN(TestErrorCodes)
#include "tst_ErrorCodes.moc"
