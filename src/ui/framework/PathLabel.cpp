#include "ui/framework/PathLabel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QToolTip>

#include <algorithm>

CPathLabel::CPathLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
}

int CPathLabel::WidthCap() const {
    const QScreen* pScreen = screen();
    return pScreen ? pScreen->availableGeometry().width() / 2 : 640;
}

QSize CPathLabel::sizeHint() const {
    const QSize hint = QLabel::sizeHint();
    return {std::min(hint.width(), WidthCap()), hint.height()};
}

QSize CPathLabel::minimumSizeHint() const {
    const QSize hint = QLabel::minimumSizeHint();
    const int ellipsis = fontMetrics().horizontalAdvance(QStringLiteral("M…M"));
    return {std::min(hint.width(), ellipsis), hint.height()};
}

QString CPathLabel::ShownText() const {
    const int margins = 2 * margin() + contentsMargins().left() + contentsMargins().right();
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, width() - margins);
}

void CPathLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    QRect rect = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    style()->drawItemText(&painter, rect, static_cast<int>(alignment()), palette(), isEnabled(),
                          ShownText(), foregroundRole());
}

bool CPathLabel::event(QEvent* pEvent) {
    if (pEvent->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        if (ShownText() != text())
            QToolTip::showText(static_cast<QHelpEvent*>(pEvent)->globalPos(), text(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QLabel::event(pEvent);
}
