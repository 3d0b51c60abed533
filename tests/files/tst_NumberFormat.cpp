// Picture layout, size texts and halves rounded away from zero.
#include "files/NumberFormat.h"

#include <QtTest>

class TestNumberFormat : public QObject {
    Q_OBJECT
private slots:
    void formats() {
        // clang-format off
        const std::tuple<const char*, double, const char*> pictures[] = {
            {"-###,###", 5, "       5"}, {"-###,###", -1234, "  -1,234"},
            {"-###,###", -123, "    -123"}, {"-###,###", -123456, "-123,456"},
            {"-##,###,###.##", 0.5, "          0.50"}, {"-##,###,###.##", -1.125, "         -1.13"},
            {"####.#", 999.96, "1000.0"}, {"###.", 12, " 12."},
            // Too wide: blanks with E at the last integer position.
            {"####", 12345, "   E"}, {"-###,###", 1234567, "       E"}, {"####", -1234, "   E"},
            {"##.##", 123, " E   "},
            // Zero fill from the leftmost Z.
            {"Z,ZZ#", 7, "0,007"}, {"##Z#", 7, "  07"}, {"ZZ.##", 1.5, "01.50"}};
        // Bytes below 1 KB, then KB, then MB even past 1 GB; 1152 B is 1.125 KB, a half.
        const std::pair<double, const char*> sizes[] = {{1023, "1023.000000 byte"},
            {1024, "1.00 KB"}, {1152, "1.13 KB"}, {1048576, "1.000 MB"}, {10.0 * (1 << 30), "10240.000 MB"}};
        // 2.675 and 9.995 are just below the half in binary.
        const std::tuple<double, int, const char*> fixed[] = {{1.125, 2, "1.13"}, {-2.5, 0, "-3"},
            {2.675, 2, "2.67"}, {9.995, 2, "9.99"}, {9.996, 2, "10.00"}, {-0.001, 2, "-0.00"}};
        // clang-format on
        for (const auto& [picture, value, text] : pictures)
            QCOMPARE(QString::fromStdString(FormatPicture(picture, value)), text);
        for (const auto& [bytes, text] : sizes)
            QCOMPARE(QString::fromStdString(FormatSize(bytes)), text);
        for (const auto& [value, decimals, text] : fixed)
            QCOMPARE(QString::fromStdString(FixedText(value, decimals)), text);
    }
};

QTEST_GUILESS_MAIN(TestNumberFormat)
#include "tst_NumberFormat.moc"
