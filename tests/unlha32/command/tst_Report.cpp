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
        // Repeated and alternating non-ASCII stretches, convertible or not.
        for (const char* line : {"表ソ.txt", "😀 smile.txt", "😀 2.txt", "表ソ.txt", "表ソ"})
            report.AddLine(line);
        const std::string& text = report.Text();
        QCOMPARE(Cp932ToUtf8(text), std::string("表ソ.txt\r\n[U+1F600] smile.txt\r\n[U+1F600] "
                                                "2.txt\r\n表ソ.txt\r\n表ソ\r\n"));
        report.CopyTo(nullptr, 10); // nothing to write to
        for (uint32_t size = 0; size <= text.size() + 1; ++size) {
            std::vector<char> buffer(size + 8, '#');
            report.CopyTo(buffer.data(), size);
            for (size_t i = size; i < buffer.size(); ++i)
                QCOMPARE(buffer[i], '#'); // nothing past the given size
            if (size == 0)
                continue;
            std::string copied(buffer.data(), strnlen(buffer.data(), size));
            QVERIFY(copied.size() < size && text.compare(0, copied.size(), copied) == 0);
            // As much as fits, never half a two-byte character.
            QVERIFY(copied.size() + 2 >= std::min<size_t>(size, text.size() + 1));
            QVERIFY(Cp932ToUtf8(copied).find("\xEF\xBF\xBD") == std::string::npos);
        }
    }
    // A name with CR or LF cannot forge a line, one with NUL cannot end the
    // report early.
    void AddLine_SpellsControlCharacters_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("text");
        QTest::newRow("CR LF") << QByteArray("追加 a\r\n書庫 b: 追加 9 件")
                               << "追加 a[U+000D][U+000A]書庫 b: 追加 9 件";
        QTest::newRow("NUL") << QByteArray("保持 a\0b.txt", 14) << "保持 a[U+0000]b.txt";
        QTest::newRow("tab, escape, delete")
            << QByteArray("\t\x1B[2J\x7F") << "[U+0009][U+001B][2J[U+007F]";
    }
    void AddLine_SpellsControlCharacters() {
        QFETCH(QByteArray, line);
        QFETCH(QString, text);
        unlha::CReport report;
        report.AddLine(std::string_view(line.constData(), size_t(line.size())));
        std::string expected = Utf8ToCp932(text.toStdString() + "\r\n").value();
        QCOMPARE(report.Text(), expected);
        std::vector<char> buffer(expected.size() + 1);
        report.CopyTo(buffer.data(), uint32_t(buffer.size()));
        QCOMPARE(std::string(buffer.data()), expected);
    }
};

QTEST_GUILESS_MAIN(CReportTest)
#include "tst_Report.moc"
