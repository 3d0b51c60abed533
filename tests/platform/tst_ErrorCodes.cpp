// errno values onto the program's error codes, and their texts.

#include "platform/ErrorCodes.h"

#include <QtTest>

#include <cerrno>

class TestErrorCodes : public QObject {
    Q_OBJECT
private slots:
    void fromErrno_data();
    void fromErrno();
    void knownTexts_data();
    void knownTexts();
    void everyMappedCodeHasATextWithoutLineEnd();
    void unknownCodeHasNoText();
};

void TestErrorCodes::fromErrno_data() {
    QTest::addColumn<int>("err");
    QTest::addColumn<int>("code");
    QTest::newRow("no error") << 0 << 0;
    QTest::newRow("ENOENT") << ENOENT << 2;
    QTest::newRow("EACCES") << EACCES << 5;
    QTest::newRow("EPERM") << EPERM << 5;
    QTest::newRow("EROFS") << EROFS << 5;
    QTest::newRow("EBUSY") << EBUSY << 32;
    QTest::newRow("ETXTBSY") << ETXTBSY << 32;
    QTest::newRow("EEXIST") << EEXIST << 183;
    QTest::newRow("ENOSPC") << ENOSPC << 112;
    QTest::newRow("ENOTEMPTY") << ENOTEMPTY << 145;
    QTest::newRow("ENOTDIR") << ENOTDIR << 267;
    QTest::newRow("ENAMETOOLONG") << ENAMETOOLONG << 206;
    QTest::newRow("EDQUOT") << EDQUOT << 1295;
    QTest::newRow("EIO") << EIO << 1117;
    QTest::newRow("ENOMEM") << ENOMEM << 8;
    QTest::newRow("EMFILE") << EMFILE << 4;
    QTest::newRow("EINVAL") << EINVAL << 87;
    QTest::newRow("an errno without its own code") << EPROTO << 1117;
}

void TestErrorCodes::fromErrno() {
    QFETCH(int, err);
    QFETCH(int, code);
    QCOMPARE(ErrorFromErrno(err), code);
}

void TestErrorCodes::knownTexts_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("2") << 2 << QStringLiteral("指定されたファイルが見つかりません。");
    QTest::newRow("3") << 3 << QStringLiteral("指定されたパスが見つかりません。");
    QTest::newRow("5") << 5 << QStringLiteral("アクセスが拒否されました。");
    QTest::newRow("32")
        << 32
        << QStringLiteral("プロセスはファイルにアクセスできません。別のプロセスが使用中です。");
    QTest::newRow("112") << 112 << QStringLiteral("ディスクに十分な空き領域がありません。");
    QTest::newRow("183") << 183
                         << QStringLiteral("既に存在するファイルを作成することはできません。");
}

void TestErrorCodes::knownTexts() {
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(GetSystemErrorText(code)), text);
}

void TestErrorCodes::everyMappedCodeHasATextWithoutLineEnd() {
    // Every code the host layer can produce must be explainable to the user.
    for (int err = 1; err < 134; ++err) {
        const int code = ErrorFromErrno(err);
        const std::string text = GetSystemErrorText(code);
        QVERIFY2(!text.empty(), qPrintable(QStringLiteral("errno %1 -> %2").arg(err).arg(code)));
        QVERIFY(text.back() != '\n' && text.back() != '\r');
    }
}

void TestErrorCodes::unknownCodeHasNoText() {
    QVERIFY(GetSystemErrorText(99999).empty());
    QVERIFY(GetSystemErrorText(-2).empty());
}

QTEST_GUILESS_MAIN(TestErrorCodes)
#include "tst_ErrorCodes.moc"
