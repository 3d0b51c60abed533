// The archiver wrapper: loading, entry point lookup, failures thrown with
// their codes, steps and texts, and the error table.
#include "lha/UnLha32.h"

#include <QFile>
#include <QTest>

namespace {

// True when a library file is mapped into this process.
bool IsMapped(const char* path) {
    QFile maps("/proc/self/maps");
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(QByteArray(path));
}

QString Text(int code) {
    return QString::fromStdString(LhaErrorText(code));
}

} // namespace

class CUnLha32Test : public QObject {
    Q_OBJECT

private slots:
    void ErrorTexts() {
        QCOMPARE(Text(0), QString("エラーはありません"));
        QCOMPARE(Text(0x8006), QString("解凍先のファイルはリードオンリーです。"));
        QCOMPARE(Text(0x8021),
                 QString("UnlhaOpenArchive() で書庫ファイルとハンドルを関連付ける前に \n"
                         "Unlha-FindFirst() 等の API を使用しました。"));
        QCOMPARE(Text(32814), QString("UNLHA32.DLLが見つからないか、ロードできません。"));
        QCOMPARE(Text(32815), QString("指定されたﾌｧﾝｸｼｮﾝが呼び出せません。"));
        for (int code : {1, 32776, 32779, 32784, 32785, 32812, 32813, 0x8030, -1})
            QCOMPARE(Text(code), QString("未知のエラーです．"));
    }

    // The minor part padded with a blank, not a zero.
    void VersionTexts() {
        const std::pair<uint16_t, const char*> cases[] = {
            {83, "Ver 0.83"}, {117, "Ver 1.17"}, {105, "Ver 1. 5"},    {100, "Ver 1. 0"},
            {5, "Ver 0. 5"},  {0, "取得不可"},   {65535, "Ver 655.35"}};
        for (const auto& [version, text] : cases)
            QCOMPARE(LhaVersionText(version), std::string(text));
    }

    void Failures_ThrowCodeStepAndText_data() {
        QTest::addColumn<QString>("library");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("step");
        QTest::newRow("missing library")
            << "/nonexistent-folder/libunlha32.so" << 32814 << "LoadLhaDll";
        QTest::newRow("library without Unlha")
            << LHA_VERSION_ONLY_LIBRARY << 32815 << "GetFuncAddress";
    }
    void Failures_ThrowCodeStepAndText() {
        QFETCH(QString, library);
        QFETCH(int, code);
        QFETCH(QString, step);
        QCOMPARE(IsLhaDllAvailable(library.toStdString()), code != 32814);
        CUnLha32 lha(library.toStdString());
        char buffer[16] = "untouched";
        try {
            lha.CallUnlha(nullptr, "a x.lzh", buffer, sizeof buffer);
            QFAIL("nothing thrown");
        } catch (const CUnLha32Exception& e) {
            QVERIFY(e.m_nCode == code && e.m_strStep == step.toStdString());
            QCOMPARE(QString::fromStdString(e.m_strMessage), Text(code));
        }
        QCOMPARE(QByteArray(buffer), QByteArray("untouched"));
        // After a failed lookup the library stays loaded and the other entry works.
        QCOMPARE(lha.IsLoaded(), code != 32814);
        QVERIFY(code == 32814 || lha.GetLhaVersion() > 0);
    }

    // The stand-in counts its calls in a static: one load keeps counting, a
    // new object starts from a fresh copy.
    void VersionOnlyLibrary_LoadedOncePerObject() {
        uint16_t first = 0, second = 0;
        {
            CUnLha32 lha(LHA_VERSION_ONLY_LIBRARY);
            QVERIFY(!lha.IsLoaded());
            first = lha.GetLhaVersion();
            second = lha.GetLhaVersion();
            QVERIFY(lha.IsLoaded() && second == first + 1);
        }
        QVERIFY(!IsMapped(LHA_VERSION_ONLY_LIBRARY));
        CUnLha32 again(LHA_VERSION_ONLY_LIBRARY);
        QCOMPARE(again.GetLhaVersion(), first);
        again.FreeLhaDll();
        QVERIFY(!again.IsLoaded() && !IsMapped(LHA_VERSION_ONLY_LIBRARY));
    }

    void RealLibrary_ProbedWithoutLoadingAndAnswers() {
        QVERIFY(IsLhaDllAvailable(LHA_REAL_LIBRARY) && !IsMapped(LHA_REAL_LIBRARY));
        CUnLha32 lha(LHA_REAL_LIBRARY);
        QVERIFY(lha.GetLhaVersion() >= 100); // major version 1 or later
        std::string buffer(256, 'x');
        QCOMPARE(lha.CallUnlha(nullptr, "q \"C:\\tmp\\x.lzh\"", buffer.data(), 256), 0x801C);
        QVERIFY(buffer.find('\0') != std::string::npos && buffer[0] != '\0');
    }
};

QTEST_GUILESS_MAIN(CUnLha32Test)
#include "tst_UnLha32.moc"
