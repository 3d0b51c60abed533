#pragma once
// Two offscreen screens set up before the application: "wide" (1,280 x 1,024) and right of
// it "scaled", the same at a scale factor of 2 (640 x 512 logical pixels).

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

inline void UseTestScreens() {
    const QString path = QDir::temp().filePath("tidewell-test-screens.json");
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(R"({"screens": [
            {"name": "wide", "x": 0, "y": 0, "width": 1280, "height": 1024,
             "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
            {"name": "scaled", "x": 1280, "y": 0, "width": 640, "height": 512,
             "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(path));
}

inline QScreen* TestScreen(const char* name) {
    for (QScreen* pScreen : QGuiApplication::screens())
        if (pScreen->name() == QLatin1String(name))
            return pScreen;
    return nullptr;
}

#define TIDEWELL_SCREENS_TEST_MAIN(TestClass)                                                      \
    int main(int argc, char* argv[]) {                                                             \
        UseTestScreens();                                                                          \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
