// The archiver wrapper: loading, entry point lookup, failures thrown with
// their codes and texts, and the error table.
#include "lha/UnLha32.h"

#include <QFile>

#include <QTest>
#include <cstring>

namespace {

// True when a library file is mapped into this process.
bool IsMapped(const char* path) {
    QFile maps("/proc/self/maps");
    if (!maps.open(QIODevice::ReadOnly))
        return false;
    return maps.readAll().contains(QByteArray(path));
}

} // namespace

class CUnLha32Test : public QObject {
    Q_OBJECT

private slots:
    void ErrorTexts_data();
    void ErrorTexts();
    void ThrowLhaError_FillsCodeStepAndText();
    void MissingLibrary_NotAvailableAndThrowsOnUse();
    void LibraryWithoutUnlha_ThrowsFromGetFuncAddress();
    void TwoVersionCalls_LoadTheLibraryOnce();
    void Probe_LeavesNothingLoaded();
    void RealLibrary_AnswersThroughTheWrapper();
};

void CUnLha32Test::ErrorTexts_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("no error") << 0 << QString("エラーはありません");
    QTest::newRow("0x8006") << 0x8006 << QString("解凍先のファイルはリードオンリーです。");
    QTest::newRow("0x8019") << 0x8019 << QString("LZH ファイル名の指定がされていません。");
    QTest::newRow("0x8021 two lines")
        << 0x8021
        << QString("UnlhaOpenArchive() で書庫ファイルとハンドルを関連付ける前に \n"
                   "Unlha-FindFirst() 等の API を使用しました。");
    QTest::newRow("0x802E") << 0x802E << QString("UNLHA32.DLLが見つからないか、ロードできません。");
    QTest::newRow("0x802F half-width") << 0x802F << QString("指定されたﾌｧﾝｸｼｮﾝが呼び出せません。");
    for (int code : {1, 32776, 32779, 32784, 32785, 32812, 32813, 0x8030, -1})
        QTest::newRow(qPrintable(QString("unknown %1").arg(code)))
            << code << QString("未知のエラーです．");
}

void CUnLha32Test::ErrorTexts() {
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(LhaErrorText(code)), text);
}

void CUnLha32Test::ThrowLhaError_FillsCodeStepAndText() {
    try {
        ThrowLhaError(0x8018, "Step");
        QFAIL("nothing thrown");
    } catch (const CUnLha32Exception& e) {
        QCOMPARE(e.m_nCode, 0x8018);
        QCOMPARE(e.m_strStep, std::string("Step"));
        QCOMPARE(e.m_strMessage, LhaErrorText(0x8018));
    }
    try {
        ThrowLhaError(0x8019);
        QFAIL("nothing thrown");
    } catch (const CUnLha32Exception& e) {
        QVERIFY(e.m_strStep.empty());
    }
}

void CUnLha32Test::MissingLibrary_NotAvailableAndThrowsOnUse() {
    const std::string missing = "/nonexistent-folder/libunlha32.so";
    QVERIFY(!IsLhaDllAvailable(missing));
    QVERIFY(!IsLhaDllAvailable("libunlha32-not-installed-anywhere.so"));
    CUnLha32 lha(missing);
    try {
        lha.GetLhaVersion();
        QFAIL("nothing thrown");
    } catch (const CUnLha32Exception& e) {
        QCOMPARE(e.m_nCode, 32814);
        QCOMPARE(e.m_strStep, std::string("LoadLhaDll"));
        QCOMPARE(QString::fromStdString(e.m_strMessage),
                 QString("UNLHA32.DLLが見つからないか、ロードできません。"));
    }
    char buffer[16] = "untouched";
    QVERIFY_THROWS_EXCEPTION(CUnLha32Exception, lha.CallUnlha(nullptr, "a x.lzh", buffer, 16));
    QCOMPARE(QByteArray(buffer), QByteArray("untouched"));
}

void CUnLha32Test::LibraryWithoutUnlha_ThrowsFromGetFuncAddress() {
    QVERIFY(IsLhaDllAvailable(LHA_VERSION_ONLY_LIBRARY));
    CUnLha32 lha(LHA_VERSION_ONLY_LIBRARY);
    char buffer[8] = {};
    try {
        lha.CallUnlha(nullptr, "a x.lzh", buffer, sizeof buffer);
        QFAIL("nothing thrown");
    } catch (const CUnLha32Exception& e) {
        QCOMPARE(e.m_nCode, 32815);
        QCOMPARE(e.m_strStep, std::string("GetFuncAddress"));
        QCOMPARE(QString::fromStdString(e.m_strMessage),
                 QString("指定されたﾌｧﾝｸｼｮﾝが呼び出せません。"));
    }
    // The library stays loaded after a failed lookup; the other entry works.
    QVERIFY(lha.IsLoaded());
    QVERIFY(lha.GetLhaVersion() > 0);
}

void CUnLha32Test::TwoVersionCalls_LoadTheLibraryOnce() {
    uint16_t first = 0, second = 0;
    {
        CUnLha32 lha(LHA_VERSION_ONLY_LIBRARY);
        QVERIFY(!lha.IsLoaded());
        first = lha.GetLhaVersion();
        second = lha.GetLhaVersion();
        QVERIFY(lha.IsLoaded());
    }
    // The counter lives in the library: one load keeps counting.
    QCOMPARE(second, static_cast<uint16_t>(first + 1));
    QVERIFY(!IsMapped(LHA_VERSION_ONLY_LIBRARY));
    // Unloaded with its object, so a new object starts from a fresh copy.
    CUnLha32 again(LHA_VERSION_ONLY_LIBRARY);
    QCOMPARE(again.GetLhaVersion(), first);
    again.FreeLhaDll();
    QVERIFY(!again.IsLoaded());
    QVERIFY(!IsMapped(LHA_VERSION_ONLY_LIBRARY));
}

void CUnLha32Test::Probe_LeavesNothingLoaded() {
    QVERIFY(!IsMapped(LHA_REAL_LIBRARY));
    QVERIFY(IsLhaDllAvailable(LHA_REAL_LIBRARY));
    QVERIFY(!IsMapped(LHA_REAL_LIBRARY));
}

void CUnLha32Test::RealLibrary_AnswersThroughTheWrapper() {
    CUnLha32 lha(LHA_REAL_LIBRARY);
    uint16_t version = lha.GetLhaVersion();
    QVERIFY(version >= 100); // major version 1 or later
    char buffer[256];
    std::memset(buffer, 'x', sizeof buffer);
    int32_t rc = lha.CallUnlha(nullptr, "q \"C:\\tmp\\x.lzh\"", buffer, sizeof buffer);
    QCOMPARE(rc, 0x801C); // no such command letter
    QVERIFY(std::memchr(buffer, '\0', sizeof buffer) != nullptr);
    QVERIFY(std::strlen(buffer) > 0);
}

QTEST_GUILESS_MAIN(CUnLha32Test)
#include "UnLha32Test.moc"
