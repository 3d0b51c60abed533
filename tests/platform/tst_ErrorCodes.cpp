// The texts of the program's error codes, for every errno the host layer meets.
#include "platform/ErrorCodes.h"

#include <QtTest>

class TestErrorCodes : public QObject {
    Q_OBJECT
private slots:
    void codesAndTexts() {
        // clang-format off
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
