// The archiver wrapper: loading, entry lookup, failures with code, step and text, error table.
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

    // A missing library, a library without Unlha.
    void Failures_ThrowCodeStepAndText() {
        for (const auto& [library, code, step] :
             {std::tuple{QString("/nonexistent-folder/libunlha32.so"), 32814, "LoadLhaDll"},
              {LHA_VERSION_ONLY_LIBRARY, 32815, "GetFuncAddress"}}) {
            // Probing unloads again at once; constructing loads nothing.
            QCOMPARE(IsLhaDllAvailable(library.toStdString()), code != 32814);
            CUnLha32 lha(library.toStdString());
            QVERIFY(!IsMapped(qPrintable(library)) && !lha.IsLoaded());
            char buffer[16] = "untouched";
            try {
                lha.CallUnlha(nullptr, "a x.lzh", buffer, sizeof buffer);
                QFAIL("nothing thrown");
            } catch (const CUnLha32Exception& e) {
                QVERIFY(e.m_nCode == code && e.m_strStep == step);
                QCOMPARE(QString::fromStdString(e.m_strMessage), Text(code));
            }
            QCOMPARE(QByteArray(buffer), QByteArray("untouched"));
            // A failed lookup keeps the library loaded; the call count shows one load, then anew.
            QCOMPARE(lha.IsLoaded(), code != 32814);
            if (code == 32814)
                continue;
            uint16_t first = lha.GetLhaVersion();
            QCOMPARE(lha.GetLhaVersion(), uint16_t(first + 1));
            lha.FreeLhaDll();
            QVERIFY(!lha.IsLoaded() && !IsMapped(LHA_VERSION_ONLY_LIBRARY));
            QCOMPARE(lha.GetLhaVersion(), first);
        }
    }
    void cleanup() { QVERIFY(!IsMapped(LHA_VERSION_ONLY_LIBRARY)); } // unloaded with its object
};

QTEST_GUILESS_MAIN(CUnLha32Test)
#include "tst_UnLha32.moc"
