#include "ui/framework/ListMoves.h"

#include "ui/framework/DialogBase.h"

#include "platform/AsciiCase.h"

#include <QListWidget>

#include <algorithm>
#include <memory>

int SelectedRow(const QListWidget& list) {
    const QList<QListWidgetItem*> selected = list.selectedItems();
    return selected.isEmpty() ? -1 : list.row(selected.front());
}

void SelectNear(QListWidget& list, int row) {
    if (list.count() > 0)
        list.setCurrentRow(std::clamp(row, 0, list.count() - 1));
}

int FindEntry(const QListWidget& list, const QString& text) {
    const std::string wanted = StdStr(text);
    for (int i = 0; i < list.count(); ++i)
        if (EqualsIgnoringCase(StdStr(list.item(i)->text()), wanted))
            return i;
    return -1;
}

int InsertSorted(QListWidget& list, const QString& text) {
    int row = 0;
    while (row < list.count() &&
           QString::compare(list.item(row)->text(), text, Qt::CaseInsensitive) <= 0)
        ++row;
    list.insertItem(row, text);
    return row;
}

QString TakeEntry(QListWidget& list, int row) {
    std::unique_ptr<QListWidgetItem> pItem(list.takeItem(row));
    return pItem->text();
}

int MoveToSorted(QListWidget& from, int row, QListWidget& to) {
    const QString text = TakeEntry(from, row);
    int at = FindEntry(to, text);
    if (at < 0)
        at = InsertSorted(to, text);
    to.setCurrentRow(at);
    SelectNear(from, row);
    return at;
}

void MoveAllToSorted(QListWidget& from, QListWidget& to) {
    while (from.count() > 0) {
        const QString text = TakeEntry(from, 0);
        if (FindEntry(to, text) < 0)
            InsertSorted(to, text);
    }
    SelectNear(to, 0);
}
