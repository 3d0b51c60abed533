// Tidewell: copies one folder tree onto another by saved copy settings.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel placeholder(QStringLiteral("Tidewell"));
    placeholder.setWindowTitle(QStringLiteral("Tidewell"));
    placeholder.show();
    return app.exec();
}
