// CRC-16 of LZH archives: known answers, and the same value however the
// bytes are split between calls (the eight-byte steps and the byte tail
// must agree).
#include "TestData.h"
#include "lzh/Crc16.h"

#include <QTest>

using namespace unlha;

class CCrc16Test : public QObject {
    Q_OBJECT

private slots:
    void Crc16_data();
    void Crc16();
};

void CCrc16Test::Crc16_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("crc");
    QTest::newRow("empty") << QByteArray() << 0x0000;
    QTest::newRow("a") << QByteArray("a") << 0xE8C1;
    QTest::newRow("check string") << QByteArray("123456789") << 0xBB3D;
    QTest::newRow("hello world") << QByteArray("hello world\n") << 0x9778;
    QTest::newRow("64 a") << QByteArray(64, 'a') << 0x4D55;
}

void CCrc16Test::Crc16() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, crc);
    QCOMPARE(int(unlha::Crc16(bytes.constData(), size_t(bytes.size()))), crc);
    // Any split, any alignment: 37 random bytes against the whole.
    std::string data = RandomBytes(37, unsigned(crc)) + bytes.toStdString();
    uint16_t whole = unlha::Crc16(data.data(), data.size());
    for (size_t cut = 0; cut <= data.size(); ++cut)
        QCOMPARE(UpdateCrc16(unlha::Crc16(data.data(), cut), data.data() + cut, data.size() - cut),
                 whole);
}

QTEST_GUILESS_MAIN(CCrc16Test)
#include "tst_Crc16.moc"
