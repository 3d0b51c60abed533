#include "ui/framework/DialogBase.h"

#include "ui/framework/PathLabel.h"
#include "ui/framework/Resources.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QBoxLayout>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVariant>

#include <cstdint>
#include <utility>

namespace {

// Rounds base * count / divisor to the nearest integer, halves away from zero,
// as the template conversion of the platform does.
int ScaleRounded(int count, int base, int divisor) {
    const int64_t product = static_cast<int64_t>(count) * base;
    const int64_t half = divisor / 2;
    const int64_t scaled =
        product >= 0 ? (product + half) / divisor : -((-product + half) / divisor);
    return static_cast<int>(scaled);
}

} // namespace

CDialogUnits::CDialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width is measured over the 52 Latin letters and rounded to
    // the nearest pixel, which is what the templates' sizes were made with.
    const int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_nBaseX = (width / 26 + 1) / 2;
    m_nBaseY = metrics.height();
}

int CDialogUnits::X(int dlu) const {
    return ScaleRounded(dlu, m_nBaseX, 4);
}
int CDialogUnits::Y(int dlu) const {
    return ScaleRounded(dlu, m_nBaseY, 8);
}

QFont TemplateFont(const std::string& face, int pointSize) {
    QFont font;
    if (face == kProportionalFace) {
        font.setFamilies({QStringLiteral("IPAPGothic")});
    } else if (face == kFixedFace) {
        font.setFamilies({QStringLiteral("IPAGothic")});
        font.setFixedPitch(true);
        font.setStyleHint(QFont::Monospace);
    } else {
        font.setFamilies({QStr(face)});
    }
    font.setPointSize(pointSize);
    return font;
}

QString QStr(const std::string& text) {
    return QString::fromStdString(text);
}
std::string StdStr(const QString& text) {
    return text.toStdString();
}

CDialogBase::CDialogBase(int templateId, const QFont& font, QWidget* parent)
    : QDialog(parent), m_nTemplateId(templateId), m_units(font) {
    setFont(font);
    setProperty("templateId", templateId);
    SetCloseBox(true);
}

CDialogBase::~CDialogBase() = default;

QWidget* CDialogBase::FindControl(int id) const {
    const auto it = m_mapControls.find(id);
    return it == m_mapControls.end() ? nullptr : it->second;
}

std::vector<int> CDialogBase::MissingControls(std::initializer_list<int> ids) const {
    std::vector<int> missing;
    for (int id : ids) {
        if (!FindControl(id))
            missing.push_back(id);
    }
    return missing;
}

void CDialogBase::VerifyControls(std::initializer_list<int> ids) const {
    const std::vector<int> missing = MissingControls(ids);
    if (!missing.empty())
        throw std::logic_error(BindingError(missing.front(), "QWidget"));
}

std::string CDialogBase::BindingError(int id, const char* typeName) {
    return "dialog control " + std::to_string(id) + " is not bound as " + typeName;
}

void CDialogBase::BindControl(int id, QWidget* pWidget) {
    QWidget* pBound = FindControl(id);
    if (pBound && pBound != pWidget)
        throw std::logic_error("dialog control " + std::to_string(id) + " is bound twice");
    m_mapControls[id] = pWidget;
    pWidget->setProperty("controlId", id);
}

void CDialogBase::SetEscapeAnswer(int answer) {
    m_nEscapeAnswer = answer;
    m_fnEscape = nullptr;
}

void CDialogBase::SetEscapeHandler(std::function<void()> handler) {
    m_fnEscape = std::move(handler);
}

void CDialogBase::SetCloseBox(bool bShow) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (bShow)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
}

// Escape and the close box both arrive here (QDialog routes its close event
// through reject()); the dialog decides what they mean.
void CDialogBase::reject() {
    if (m_fnEscape) {
        m_fnEscape();
        return;
    }
    done(m_nEscapeAnswer);
}

QSize CDialogBase::AvailableSize() const {
    const QScreen* pScreen = screen();
    if (!pScreen)
        return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    // The frame is known once the window is shown; before, a title bar and
    // thin borders are assumed.
    const QSize frame = isVisible() ? frameGeometry().size() - size()
                                    : QSize(8, style()->pixelMetric(QStyle::PM_TitleBarHeight) + 8);
    return pScreen->availableGeometry().size() - frame;
}

void CDialogBase::showEvent(QShowEvent* pEvent) {
    QDialog::showEvent(pEvent);
    const QSize available = AvailableSize();
    if (width() <= available.width() && height() <= available.height())
        return;
    if (layout())
        layout()->setSizeConstraint(QLayout::SetNoConstraint);
    const QSize fitted = size().boundedTo(available);
    setMinimumSize(0, 0);
    setMaximumSize(available);
    resize(fitted);
}

void CDialogBase::Connect(int id, ENotify notify, std::function<void()> handler) {
    QWidget* pWidget = FindControl(id);
    if (!pWidget)
        throw std::logic_error(BindingError(id, "a control of the message map"));
    auto fn = [handler = std::move(handler)] {
        handler();
    };
    bool bConnected = false;
    switch (notify) {
    case ENotify::Clicked:
        if (auto* pButton = qobject_cast<QAbstractButton*>(pWidget))
            bConnected = static_cast<bool>(connect(pButton, &QAbstractButton::clicked, this, fn));
        break;
    case ENotify::Changed:
        if (auto* pEdit = qobject_cast<QLineEdit*>(pWidget))
            bConnected = static_cast<bool>(connect(pEdit, &QLineEdit::textChanged, this, fn));
        else if (auto* pCombo = qobject_cast<QComboBox*>(pWidget))
            bConnected = static_cast<bool>(connect(pCombo, &QComboBox::editTextChanged, this, fn));
        else if (auto* pText = qobject_cast<QPlainTextEdit*>(pWidget))
            bConnected = static_cast<bool>(connect(pText, &QPlainTextEdit::textChanged, this, fn));
        break;
    case ENotify::SelChange:
        // A combo box reports only the user's choice; a list reports every
        // change of its current row.
        if (auto* pCombo = qobject_cast<QComboBox*>(pWidget))
            bConnected = static_cast<bool>(connect(pCombo, &QComboBox::activated, this, fn));
        else if (auto* pList = qobject_cast<QListWidget*>(pWidget))
            bConnected =
                static_cast<bool>(connect(pList, &QListWidget::currentRowChanged, this, fn));
        break;
    case ENotify::DblClk:
        if (auto* pView = qobject_cast<QAbstractItemView*>(pWidget))
            bConnected =
                static_cast<bool>(connect(pView, &QAbstractItemView::doubleClicked, this, fn));
        break;
    }
    if (!bConnected)
        throw std::logic_error("dialog control " + std::to_string(id) +
                               " cannot send the notification of its message map entry");
}

QPushButton* CDialogBase::MakeButton(int id, const std::string& text, int cxDlu, int cyDlu) {
    auto* pButton = new QPushButton(QStr(text), this);
    pButton->setMinimumSize(m_units.X(cxDlu), m_units.Y(cyDlu));
    BindControl(id, pButton);
    return pButton;
}

QPushButton* CDialogBase::MakeArrowButton(int id, Qt::ArrowType arrow, const std::string& name,
                                          int cxDlu) {
    QPushButton* pButton = MakeButton(id, "", cxDlu, 14);
    pButton->setIcon(ArrowIcon(arrow));
    pButton->setToolTip(QStr(name));
    pButton->setAccessibleName(QStr(name));
    return pButton;
}

QVBoxLayout* CDialogBase::MakeMoveColumn(const CMoveColumn& column) {
    auto* pColumn = new QVBoxLayout;
    pColumn->addStretch(1);
    pColumn->addWidget(
        MakeArrowButton(column.nToChosen, Qt::RightArrow, "選択ﾘｽﾄへ移動", column.cxArrowDlu));
    pColumn->addWidget(
        MakeArrowButton(column.nToCandidates, Qt::LeftArrow, "候補ﾘｽﾄへ戻す", column.cxArrowDlu));
    pColumn->addSpacing(m_units.Y(8));
    pColumn->addWidget(MakeButton(column.nSelectAll, "全選択(&A)"));
    pColumn->addWidget(MakeButton(column.nClearAll, column.pszClearAll));
    pColumn->addStretch(1);
    return pColumn;
}

QLabel* CDialogBase::MakeStatic(int id, const std::string& text, int cxDlu) {
    auto* pLabel = new QLabel(QStr(text), this);
    pLabel->setTextFormat(Qt::PlainText);
    if (cxDlu > 0)
        pLabel->setMinimumWidth(m_units.X(cxDlu));
    BindControl(id, pLabel);
    return pLabel;
}

QLabel* CDialogBase::MakePathStatic(int id, const std::string& text, int cxDlu) {
    auto* pLabel = new CPathLabel(QStr(text), this);
    if (cxDlu > 0)
        pLabel->setMinimumWidth(m_units.X(cxDlu));
    BindControl(id, pLabel);
    return pLabel;
}

QLabel* CDialogBase::MakeLabel(const std::string& text) {
    auto* pLabel = new QLabel(QStr(text), this);
    pLabel->setTextFormat(Qt::PlainText);
    return pLabel;
}

void CDialogBase::ApplyTemplateMargins(QLayout* pLayout) const {
    const int margin = m_units.X(7);
    pLayout->setContentsMargins(margin, m_units.Y(7), margin, m_units.Y(7));
    pLayout->setSpacing(m_units.Y(4));
}
