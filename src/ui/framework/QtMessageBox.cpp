#include "ui/framework/QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <utility>
#include <vector>

namespace {

struct CButtonSpec {
    const char* pszText;
    int nId;
    QMessageBox::ButtonRole role;
};

std::vector<CButtonSpec> ButtonsOf(unsigned style) {
    const CButtonSpec ok{"OK", IDOK, QMessageBox::AcceptRole};
    const CButtonSpec cancel{"キャンセル", IDCANCEL, QMessageBox::RejectRole};
    const CButtonSpec yes{"はい(&Y)", IDYES, QMessageBox::YesRole};
    const CButtonSpec no{"いいえ(&N)", IDNO, QMessageBox::NoRole};
    const CButtonSpec retry{"再試行(&R)", IDRETRY, QMessageBox::AcceptRole};
    const CButtonSpec abort{"中止(&A)", IDABORT, QMessageBox::RejectRole};
    const CButtonSpec ignore{"無視(&I)", IDIGNORE, QMessageBox::AcceptRole};
    switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {ok, cancel};
    case MB_ABORTRETRYIGNORE:
        return {abort, retry, ignore};
    case MB_YESNOCANCEL:
        return {yes, no, cancel};
    case MB_YESNO:
        return {yes, no};
    case MB_RETRYCANCEL:
        return {retry, cancel};
    default:
        return {ok};
    }
}

QMessageBox::Icon IconOf(unsigned style) {
    switch (style & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

int CQtMessageBoxService::Show(const std::string& text, const std::string& caption,
                               unsigned style) {
    QMessageBox box(QApplication::activeWindow());
    box.setIcon(IconOf(style));
    box.setWindowTitle(QString::fromStdString(caption.empty() ? std::string(kAppTitle) : caption));
    box.setText(QString::fromStdString(text));
    box.setTextFormat(Qt::PlainText);

    std::vector<std::pair<QAbstractButton*, int>> aButtons;
    QPushButton* pCancel = nullptr;
    for (const CButtonSpec& spec : ButtonsOf(style)) {
        QPushButton* pButton = box.addButton(QString::fromUtf8(spec.pszText), spec.role);
        aButtons.emplace_back(pButton, spec.nId);
        if (spec.nId == IDCANCEL)
            pCancel = pButton;
    }
    const std::size_t defaultIndex = (style & MB_DEFBUTTON2) && aButtons.size() > 1 ? 1 : 0;
    box.setDefaultButton(static_cast<QPushButton*>(aButtons[defaultIndex].first));
    // Escape and the close box answer Cancel where there is one, OK on a plain
    // box; boxes without either (Yes/No, Abort/Retry/Ignore) keep Qt's choice.
    if (pCancel)
        box.setEscapeButton(pCancel);
    else if (aButtons.size() == 1)
        box.setEscapeButton(aButtons.front().first);

    box.exec();
    for (const auto& [pButton, id] : aButtons) {
        if (box.clickedButton() == pButton)
            return id;
    }
    return pCancel ? IDCANCEL : aButtons.front().second;
}

void CQtMessageBoxService::Beep(unsigned) {
    QApplication::beep();
}
