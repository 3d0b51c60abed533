#pragma once
// A list whose order the user sets: an entry dragged with the mouse and
// dropped elsewhere in the list moves there (a line marks where it will
// go), and Ctrl+Up / Ctrl+Down move the current entry one place, so the
// keyboard can do what the mouse does. Dialogs add move-up and move-down
// buttons that call MoveCurrent. Dragging never leaves the list: nothing
// is dropped into it from outside.

#include <QListWidget>

class CDragListBox : public QListWidget {
    Q_OBJECT

public:
    explicit CDragListBox(QWidget* parent = nullptr);

    // Moves the entry at from to position to (both in range), keeps it
    // current and emits orderChanged. False, and nothing changed, when
    // either is out of range or they are equal.
    bool MoveEntry(int from, int to);
    // Moves the current entry by delta places (-1 up, +1 down); false at the
    // list's edge or with no current entry.
    bool MoveCurrent(int delta);
    // The texts in display order.
    QStringList Texts() const;

signals:
    void orderChanged();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Where an entry dropped at a viewport point goes in: 0 to count().
    int InsertionAt(const QPoint& point) const;
    void StopDrag();

    int m_nDragRow = -1;      // the entry pressed on, -1 when none
    QPoint m_ptPress;         // where it was pressed
    bool m_bDragging = false; // the press moved far enough to drag
    int m_nInsertion = -1;    // the marked insertion position while dragging
};
