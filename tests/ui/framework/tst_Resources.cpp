// The program's pictures and its desktop entry: present in the resources,
// loadable by Qt, consistent in size, and valid for a Linux desktop.

#include "ui/framework/Resources.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMovie>
#include <QPixmap>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QXmlStreamReader>

namespace {

QString SourceResource(const QString& name) {
    return QStringLiteral(TIDEWELL_TEST_DATA "/../../src/resources/") + name;
}

// The keys of the group "Desktop Entry", each with its value.
QMap<QString, QString> DesktopKeys(const QString& path) {
    QMap<QString, QString> keys;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return keys;
    bool bInGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            bInGroup = line == QStringLiteral("[Desktop Entry]");
        else if (bInGroup && line.contains(QLatin1Char('=')))
            keys.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1));
    }
    return keys;
}

} // namespace

class CResourcesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitResources(); }
    void applicationIcon();
    void iconSourceIsSvgOfTheSameSize();
    void idlePictureAndBusyAnimationShareOnePlace();
    void busyAnimationPlays();
    void desktopEntryKeys();
    void desktopEntryValidates();
};

void CResourcesTest::applicationIcon() {
    const QImage icon(QString::fromLatin1(kAppIconResource));
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.size(), QSize(256, 256));
    QVERIFY(icon.hasAlphaChannel());
    // A shape on a clear ground, so it sits on any desktop background.
    QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(icon.pixel(255, 255)), 0);
    QCOMPARE(qAlpha(icon.pixel(128, 160)), 255);
}

void CResourcesTest::iconSourceIsSvgOfTheSameSize() {
    QFile file(SourceResource(QStringLiteral("icons/tidewell.svg")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString viewBox;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QStringLiteral("svg"))
            viewBox = xml.attributes().value(QStringLiteral("viewBox")).toString();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(viewBox, QStringLiteral("0 0 256 256"));
}

void CResourcesTest::idlePictureAndBusyAnimationShareOnePlace() {
    const QPixmap idle(QString::fromLatin1(kIdlePictureResource));
    QVERIFY(!idle.isNull());
    QMovie busy(QString::fromLatin1(kBusyAnimationResource));
    QVERIFY(busy.isValid());
    QVERIFY(busy.jumpToFrame(0));
    // Swapping one for the other must not move the window's controls.
    QCOMPARE(busy.currentImage().size(), idle.size());
}

void CResourcesTest::busyAnimationPlays() {
    QMovie busy(QString::fromLatin1(kBusyAnimationResource));
    QVERIFY(busy.isValid());
    const int frameCount = busy.frameCount();
    QVERIFY(frameCount >= 8);
    // Every frame decodes, each is shown for a visible while, and the
    // picture moves (the frames are not all alike).
    QList<QImage> frames;
    for (int i = 0; i < frameCount; ++i) {
        QVERIFY(busy.jumpToNextFrame());
        QVERIFY(busy.nextFrameDelay() >= 20 && busy.nextFrameDelay() <= 200);
        frames.append(busy.currentImage());
    }
    QVERIFY(frames.first() != frames.at(frameCount / 2));
    QCOMPARE(busy.loopCount(), -1); // plays on until it is stopped
    QMovie running(QString::fromLatin1(kBusyAnimationResource));
    running.start();
    QTRY_VERIFY(running.currentFrameNumber() > 0);
    running.stop();
}

void CResourcesTest::desktopEntryKeys() {
    const QMap<QString, QString> keys =
        DesktopKeys(SourceResource(QStringLiteral("tidewell.desktop")));
    QCOMPARE(keys.value(QStringLiteral("Type")), QStringLiteral("Application"));
    QCOMPARE(keys.value(QStringLiteral("Name")), QStringLiteral("Tidewell"));
    QVERIFY(!keys.value(QStringLiteral("Name[ja]")).isEmpty());
    QVERIFY(!keys.value(QStringLiteral("Comment")).isEmpty());
    QCOMPARE(keys.value(QStringLiteral("Exec")), QStringLiteral("tidewell"));
    QCOMPARE(keys.value(QStringLiteral("Icon")), QStringLiteral("tidewell"));
    const QStringList categories =
        keys.value(QStringLiteral("Categories")).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QVERIFY(categories.contains(QStringLiteral("Utility")));
    QVERIFY(categories.contains(QStringLiteral("FileTools")));
}

void CResourcesTest::desktopEntryValidates() {
    const QString validator =
        QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        QSKIP("desktop-file-validate is not installed (package desktop-file-utils)");
    QProcess process;
    process.start(validator, {SourceResource(QStringLiteral("tidewell.desktop"))});
    QVERIFY(process.waitForFinished(30000));
    const QByteArray output = process.readAllStandardOutput() + process.readAllStandardError();
    QVERIFY2(process.exitCode() == 0 && output.trimmed().isEmpty(), output.constData());
}

QTEST_MAIN(CResourcesTest)
#include "tst_Resources.moc"
