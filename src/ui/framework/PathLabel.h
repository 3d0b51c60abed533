#pragma once
// A static text that shows a path: when the path is wider than the label it
// is elided in the middle (drive and file name stay readable) and the whole
// path is the tooltip. It asks its dialog for at most half the width of
// its screen, so no path makes a dialog wider than the screen; text()
// keeps the whole path.

#include <QLabel>

class CPathLabel : public QLabel {
    Q_OBJECT

public:
    explicit CPathLabel(const QString& text = {}, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The text as it is drawn now (elided or whole).
    QString ShownText() const;

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    bool event(QEvent* pEvent) override;

private:
    // The widest the label asks for: half the available width of its screen.
    int WidthCap() const;
};
