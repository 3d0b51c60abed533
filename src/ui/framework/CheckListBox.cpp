#include "ui/framework/CheckListBox.h"

#include <QApplication>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

constexpr int kDepthRole = Qt::UserRole;
constexpr int kNameAtRole = Qt::UserRole + 1;

// Draws a line shifted right by its depth: the check box and the selection
// move with the text, and the clicks on the check box land where it is drawn.
class CIndentDelegate : public QStyledItemDelegate {
public:
    explicit CIndentDelegate(CCheckListBox* pList) : QStyledItemDelegate(pList), m_pList(pList) {}

    void paint(QPainter* pPainter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt = Shifted(option, index);
        initStyleOption(&opt, index);
        const QString text = opt.text;
        const int nameAt = std::clamp(index.data(kNameAtRole).toInt(), 0, int(text.size()));
        opt.text.clear();
        const QWidget* pWidget = opt.widget;
        QStyle* pStyle = pWidget ? pWidget->style() : QApplication::style();
        pStyle->drawControl(QStyle::CE_ItemViewItem, &opt, pPainter, pWidget);
        const QRect rect = pStyle->subElementRect(QStyle::SE_ItemViewItemText, &opt, pWidget)
                               .adjusted(TextMargin(pStyle, pWidget), 0, 0, 0);
        const bool bSelected = opt.state & QStyle::State_Selected;
        const QPalette::ColorRole role = bSelected ? QPalette::HighlightedText : QPalette::Text;
        const QString prefix = text.left(nameAt);
        pPainter->save();
        pPainter->setFont(opt.font);
        // The path above the folder dimmer, unless the selection's colours hold.
        pPainter->setPen(
            opt.palette.color(bSelected ? QPalette::Normal : QPalette::Disabled, role));
        const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
        pPainter->drawText(rect, flags, prefix);
        pPainter->setPen(opt.palette.color(QPalette::Normal, role));
        pPainter->drawText(rect.adjusted(opt.fontMetrics.horizontalAdvance(prefix), 0, 0, 0), flags,
                           text.mid(nameAt));
        pPainter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(Indent(index), 0);
    }

protected:
    bool editorEvent(QEvent* pEvent, QAbstractItemModel* pModel, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override {
        return QStyledItemDelegate::editorEvent(pEvent, pModel, Shifted(option, index), index);
    }

private:
    int Indent(const QModelIndex& index) const {
        return std::max(0, index.data(kDepthRole).toInt()) * m_pList->IndentStep();
    }
    QStyleOptionViewItem Shifted(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
        QStyleOptionViewItem shifted(option);
        shifted.rect.setLeft(shifted.rect.left() + Indent(index));
        return shifted;
    }
    // The gap the style leaves before an item's text.
    static int TextMargin(const QStyle* pStyle, const QWidget* pWidget) {
        return pStyle->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, pWidget) + 1;
    }

    CCheckListBox* m_pList;
};

} // namespace

CCheckListBox::CCheckListBox(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new CIndentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // A line longer than the list scrolls instead of being cut.
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setTextElideMode(Qt::ElideNone);
}

int CCheckListBox::IndentStep() const {
    return fontMetrics().horizontalAdvance(QLatin1Char('M')) * 3 / 2;
}

int CCheckListBox::AddString(const QString& text, int depth, int nameAt) {
    auto* pItem = new QListWidgetItem(text);
    pItem->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    pItem->setCheckState(Qt::Unchecked);
    pItem->setData(kDepthRole, depth);
    pItem->setData(kNameAtRole, nameAt);
    pItem->setToolTip(text);
    addItem(pItem);
    return count() - 1;
}

int CCheckListBox::GetCheck(int row) const {
    const QListWidgetItem* pItem = item(row);
    return pItem && pItem->checkState() == Qt::Checked ? 1 : 0;
}

void CCheckListBox::SetCheck(int row, int check) {
    if (QListWidgetItem* pItem = item(row))
        pItem->setCheckState(check ? Qt::Checked : Qt::Unchecked);
}

void CCheckListBox::SetAllChecks(int check) {
    for (int row = 0; row < count(); ++row)
        SetCheck(row, check);
}
