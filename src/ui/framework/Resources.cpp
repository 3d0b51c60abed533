#include "ui/framework/Resources.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <QTransform>
#include <QtGlobal>

// Q_INIT_RESOURCE names a function at global scope; it cannot be called from
// inside a namespace.
static void RegisterResources() {
    Q_INIT_RESOURCE(resources);
}

void InitResources() {
    static const bool s_bDone = [] {
        RegisterResources();
        return true;
    }();
    (void)s_bDone;
}

namespace {

// The arrow pointing right in a 32 x 32 square; the others are turned.
QPixmap ArrowPixmap(Qt::ArrowType direction, const QColor& color) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(16, 16);
    painter.rotate(direction == Qt::LeftArrow   ? 180
                   : direction == Qt::UpArrow   ? 270
                   : direction == Qt::DownArrow ? 90
                                                : 0);
    QPainterPath path;
    path.moveTo(-12, -4);
    path.lineTo(1, -4);
    path.lineTo(1, -11);
    path.lineTo(13, 0);
    path.lineTo(1, 11);
    path.lineTo(1, 4);
    path.lineTo(-12, 4);
    path.closeSubpath();
    painter.fillPath(path, color);
    return pixmap;
}

} // namespace

QIcon ArrowIcon(Qt::ArrowType direction) {
    const QPalette palette = QApplication::palette();
    QIcon icon;
    icon.addPixmap(ArrowPixmap(direction, palette.color(QPalette::Active, QPalette::ButtonText)),
                   QIcon::Normal);
    icon.addPixmap(ArrowPixmap(direction, palette.color(QPalette::Disabled, QPalette::ButtonText)),
                   QIcon::Disabled);
    return icon;
}
