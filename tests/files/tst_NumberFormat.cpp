// Picture layout, size texts and integer texts.

#include "files/NumberFormat.h"

#include <QtTest>

#include <climits>

class TestNumberFormat : public QObject {
    Q_OBJECT
private slots:
    void picture_data();
    void picture();
    void pictureKeepsItsLength();
    void size_data();
    void size();
    void fixedRoundsHalvesAwayFromZero_data();
    void fixedRoundsHalvesAwayFromZero();
    void intToText_data();
    void intToText();
};

void TestNumberFormat::picture_data() {
    QTest::addColumn<QString>("picture");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    // The examples of the program's column layouts.
    QTest::newRow("small count") << "-###,###" << 5.0 << "       5";
    QTest::newRow("comma appears") << "-###,###" << 1234.0 << "   1,234";
    QTest::newRow("negative with comma") << "-###,###" << -1234.0 << "  -1,234";
    QTest::newRow("sign takes the comma") << "-###,###" << -123.0 << "    -123";
    QTest::newRow("sign at the front") << "-###,###" << -123456.0 << "-123,456";
    QTest::newRow("six digits") << "-###,###" << 123456.0 << " 123,456";
    QTest::newRow("kilobytes") << "-##,###,###.##" << 1234.5 << "      1,234.50";
    QTest::newRow("below one") << "-##,###,###.##" << 0.5 << "          0.50";
    QTest::newRow("zero count") << "####" << 0.0 << "   0";
    QTest::newRow("half rounds up") << "-##,###,###.##" << 1.125 << "          1.13";
    QTest::newRow("negative half rounds away") << "-##,###,###.##" << -1.125 << "         -1.13";
    QTest::newRow("rounding carries into a new digit") << "####.#" << 999.96 << "1000.0";
    QTest::newRow("millions") << "-##,###,###.##" << 12345678.9 << " 12,345,678.90";
    // Overflow: blanks with E at the last integer position.
    QTest::newRow("overflow") << "####" << 12345.0 << "   E";
    QTest::newRow("overflow over the sign position") << "-###,###" << 1234567.0 << "       E";
    QTest::newRow("negative without a sign place") << "####" << -1234.0 << "   E";
    QTest::newRow("overflow with decimals") << "##.##" << 123.0 << " E   ";
    // Zero fill starts at the leftmost Z.
    QTest::newRow("zero fill") << "ZZZ#" << 7.0 << "0007";
    QTest::newRow("zero fill across a comma") << "Z,ZZ#" << 7.0 << "0,007";
    QTest::newRow("zero fill from the middle") << "##Z#" << 7.0 << "  07";
    QTest::newRow("zero fill with decimals") << "ZZ.##" << 1.5 << "01.50";
    QTest::newRow("point with no decimals") << "###." << 12.0 << " 12.";
}

void TestNumberFormat::picture() {
    QFETCH(QString, picture);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(FormatPicture(picture.toStdString(), value)), expected);
}

void TestNumberFormat::pictureKeepsItsLength() {
    const char* pictures[] = {"####", "-###,###", "-##,###,###.##", "Z,ZZ#.#", "#", "."};
    const double values[] = {0, 1, -1, 0.004, 0.005, 999.999, 1e7, -1e7, 1e30, -1e30};
    for (const char* pic : pictures)
        for (double v : values)
            QCOMPARE(FormatPicture(pic, v).size(), std::string(pic).size());
}

void TestNumberFormat::size_data() {
    QTest::addColumn<double>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("bytes") << 512.0 << "512.000000 byte";
    QTest::newRow("largest byte count") << 1023.0 << "1023.000000 byte";
    QTest::newRow("one kilobyte") << 1024.0 << "1.00 KB";
    QTest::newRow("kilobyte half rounds up") << 1152.0 << "1.13 KB";
    QTest::newRow("one megabyte") << 1048576.0 << "1.000 MB";
    QTest::newRow("no larger unit") << 10.0 * 1024 * 1024 * 1024 << "10240.000 MB";
    QTest::newRow("zero") << 0.0 << "0.000000 byte";
}

void TestNumberFormat::size() {
    QFETCH(double, bytes);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(FormatSize(bytes)), text);
}

void TestNumberFormat::fixedRoundsHalvesAwayFromZero_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");
    QTest::newRow("exact half") << 1.125 << 2 << "1.13";
    QTest::newRow("exact half, even neighbour") << 0.5 << 0 << "1";
    QTest::newRow("exact half, negative") << -2.5 << 0 << "-3";
    QTest::newRow("just below a half stays") << 2.675 << 2 << "2.67"; // 2.67499999... in binary
    QTest::newRow("carry through nines") << 9.996 << 2 << "10.00";
    QTest::newRow("binary value below a half") << 9.995 << 2 << "9.99"; // 9.99499999...
    QTest::newRow("carry through exact nines") << 99.5 << 0 << "100";
    QTest::newRow("small negative keeps its sign") << -0.001 << 2 << "-0.00";
    QTest::newRow("large value") << 1e20 << 1 << "100000000000000000000.0";
}

void TestNumberFormat::fixedRoundsHalvesAwayFromZero() {
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(FixedText(value, decimals)), text);
}

void TestNumberFormat::intToText_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0 << "0";
    QTest::newRow("negative") << -2 << "-2";
    QTest::newRow("end code") << 9999 << "9999";
    QTest::newRow("largest") << INT_MAX << "2147483647";
    QTest::newRow("smallest") << INT_MIN << "-2147483648";
}

void TestNumberFormat::intToText() {
    QFETCH(int, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(IntToText(value)), text);
}

QTEST_GUILESS_MAIN(TestNumberFormat)
#include "tst_NumberFormat.moc"
