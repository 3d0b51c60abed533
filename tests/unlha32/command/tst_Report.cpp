// The report: CP932 lines, characters CP932 lacks spelt out, and cut to
// the caller's buffer at a character boundary, always terminated.
#include "command/Report.h"
#include "platform/Cp932.h"

#include <QTest>

class CReportTest : public QObject {
    Q_OBJECT

private slots:
    void CopyTo_CutsAtCharactersWithinTheBuffer() {
        unlha::CReport report;
        report.AddLine("表ソ.txt");
        report.AddLine("😀 smile.txt");
        const std::string& text = report.Text();
        QCOMPARE(Cp932ToUtf8(text), std::string("表ソ.txt\r\n[U+1F600] smile.txt\r\n"));
        report.CopyTo(nullptr, 10); // nothing to write to
        for (uint32_t size = 0; size <= text.size() + 1; ++size) {
            std::string buffer(size + 8, '#');
            report.CopyTo(buffer.data(), size);
            std::string copied = size ? buffer.substr(0, strnlen(buffer.data(), size)) : "";
            // Nothing past size; as much as fits, never half a two-byte character.
            QVERIFY(buffer.substr(size) == "########" &&
                    text.compare(0, copied.size(), copied) == 0);
            QVERIFY(size == 0 || (copied.size() < size &&
                                  copied.size() + 2 >= std::min<size_t>(size, text.size() + 1)));
            QVERIFY(Cp932ToUtf8(copied).find("\xEF\xBF\xBD") == std::string::npos);
        }
    }
};

QTEST_GUILESS_MAIN(CReportTest)
#include "tst_Report.moc"
