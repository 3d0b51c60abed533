// The refusal of texts a settings file cannot hold names the field and the character.
#include "app/StorableText.h"

#include <QTest>

class TestStorableText : public QObject {
    Q_OBJECT

private slots:
    void namesFieldAndCharacter() {
        // source, destination, copy list; the field, character and code point named ("": none)
        const std::pair<QStringList, QString> rows[] = {
            {{"S:\\データ", "D:\\表ソ", "*.doc/ｶﾅ"}, ""},
            {{"S:\\a", "D:\\caf\u00e9 \u20ac", "*.\u20ac"}, "ｺﾋﾟｰ先ﾌｫﾙﾀﾞ|\u00e9|00E9"}, // the first
            {{"", "", "*.txt/\U0001F600"}, "ｺﾋﾟｰﾘｽﾄ|\U0001F600|1F600"}}; // four bytes
        for (const auto& [texts, named] : rows) {
            std::vector<CStoredField> fields;
            const char* labels[] = {"ｺﾋﾟｰ元ﾌｫﾙﾀﾞ", "ｺﾋﾟｰ先ﾌｫﾙﾀﾞ", "ｺﾋﾟｰﾘｽﾄ"};
            for (int i = 0; i < 3; ++i)
                fields.push_back({labels[i], texts[i].toStdString()});
            const QStringList parts = named.split('|');
            QCOMPARE(QString::fromStdString(UnstorableFieldMessage(fields)),
                     named.isEmpty()
                         ? QString()
                         : parts[0] + "に保存できない文字「" + parts[1] + "」(U+" + parts[2] +
                               ") が含まれています．\n"
                               "設定ﾌｧｲﾙは Shift-JIS で書かれるため、この文字は使えません．");
        }
    }
};

QTEST_GUILESS_MAIN(TestStorableText)
#include "tst_StorableText.moc"
