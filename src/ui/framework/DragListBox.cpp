#include "ui/framework/DragListBox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

CDragListBox::CDragListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragDropMode(QAbstractItemView::NoDragDrop);
}

bool CDragListBox::MoveEntry(int from, int to) {
    if (from < 0 || from >= count() || to < 0 || to >= count() || from == to)
        return false;
    QListWidgetItem* pItem = takeItem(from);
    insertItem(to, pItem);
    setCurrentRow(to);
    emit orderChanged();
    return true;
}

bool CDragListBox::MoveCurrent(int delta) {
    const int row = currentRow();
    return row >= 0 && MoveEntry(row, row + delta);
}

QStringList CDragListBox::Texts() const {
    QStringList texts;
    for (int i = 0; i < count(); ++i)
        texts << item(i)->text();
    return texts;
}

int CDragListBox::InsertionAt(const QPoint& point) const {
    const QModelIndex index = indexAt(point);
    if (!index.isValid())
        return point.y() < 0 ? 0 : count();
    const QRect rect = visualRect(index);
    return index.row() + (point.y() >= rect.center().y() ? 1 : 0);
}

void CDragListBox::mousePressEvent(QMouseEvent* event) {
    QListWidget::mousePressEvent(event);
    StopDrag();
    if (event->button() == Qt::LeftButton) {
        m_nDragRow = indexAt(event->position().toPoint()).row();
        m_ptPress = event->position().toPoint();
    }
}

void CDragListBox::mouseMoveEvent(QMouseEvent* event) {
    if (m_nDragRow < 0 || !(event->buttons() & Qt::LeftButton)) {
        QListWidget::mouseMoveEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    if (!m_bDragging && (point - m_ptPress).manhattanLength() < QApplication::startDragDistance())
        return;
    m_bDragging = true;
    // Near an edge the list scrolls, so any place can be reached.
    const int margin = sizeHintForRow(0) > 0 ? sizeHintForRow(0) / 2 : 4;
    if (point.y() < margin)
        verticalScrollBar()->setValue(verticalScrollBar()->value() - 1);
    else if (point.y() > viewport()->height() - margin)
        verticalScrollBar()->setValue(verticalScrollBar()->value() + 1);
    m_nInsertion = InsertionAt(point);
    viewport()->update();
}

void CDragListBox::mouseReleaseEvent(QMouseEvent* event) {
    if (m_bDragging && event->button() == Qt::LeftButton) {
        const int from = m_nDragRow;
        const int insertion = InsertionAt(event->position().toPoint());
        StopDrag();
        // Taking the entry out first shifts the places below it up by one.
        MoveEntry(from, insertion > from ? insertion - 1 : insertion);
        return;
    }
    StopDrag();
    QListWidget::mouseReleaseEvent(event);
}

void CDragListBox::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::ControlModifier &&
        (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
        MoveCurrent(event->key() == Qt::Key_Up ? -1 : 1);
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape && m_bDragging) {
        StopDrag();
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void CDragListBox::paintEvent(QPaintEvent* event) {
    QListWidget::paintEvent(event);
    if (!m_bDragging || m_nInsertion < 0)
        return;
    // The insertion mark: a line across the list between two entries.
    int y = 0;
    if (m_nInsertion < count())
        y = visualRect(model()->index(m_nInsertion, 0)).top();
    else if (count() > 0)
        y = visualRect(model()->index(count() - 1, 0)).bottom() + 1;
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(QPalette::Text), 2));
    painter.drawLine(2, y, viewport()->width() - 3, y);
}

void CDragListBox::StopDrag() {
    const bool wasDragging = m_bDragging;
    m_nDragRow = -1;
    m_bDragging = false;
    m_nInsertion = -1;
    if (wasDragging)
        viewport()->update();
}
