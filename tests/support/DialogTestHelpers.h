#pragma once
// Dialog test helpers: answering nested modals, controls by id used as a user does, no text cut.

#include "support/ScriptedMessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>

#include <functional>
#include <memory>

// Acts on the next modal window (of that template id, if given) a nested exec() shows; 3 s at most.
inline void AnswerNextModal(std::function<void(QWidget*)> action, int templateId = 0,
                            int triesLeft = 300) {
    QTimer::singleShot(10, [action = std::move(action), templateId, triesLeft] {
        QWidget* pModal = QApplication::activeModalWidget();
        if (pModal && (templateId == 0 || pModal->property("templateId").toInt() == templateId)) {
            action(pModal);
            if (QTest::currentTestFailed() && pModal->isVisible())
                pModal->close(); // a failed check in the action must not hang the test
        } else if (triesLeft > 0)
            AnswerNextModal(action, templateId, triesLeft - 1);
    });
}

// A control by the "controlId" property every bound one carries.
inline QWidget* ControlOf(QWidget* pDialog, int id) {
    for (QWidget* pWidget : pDialog->findChildren<QWidget*>())
        if (pWidget->property("controlId").toInt() == id)
            return pWidget;
    return nullptr;
}
template <class T> T* ControlAs(QWidget* pDialog, int id) {
    return qobject_cast<T*>(ControlOf(pDialog, id));
}

// The texts of the controls, joined by "|".
inline QString Texts(QWidget* pDialog, std::initializer_list<int> ids) {
    QStringList texts;
    for (int id : ids)
        texts << ControlOf(pDialog, id)->property("text").toString();
    return texts.join('|');
}

// A two-list dialog as "candidates|chosen|buttons": "*" before a selected entry, then the
// enabled ones of move-to-chosen, select all, move back and clear all as ">A<" and clearMark.
template <class Dlg> QString TwoListState(Dlg& dlg, char clearMark) {
    QStringList parts;
    for (int id : {Dlg::IDC_CANDIDATES, Dlg::IDC_CHOSEN}) {
        QStringList texts;
        auto* pList = ControlAs<QListWidget>(&dlg, id);
        for (int i = 0; i < pList->count(); ++i)
            texts << (pList->item(i)->isSelected() ? "*" : "") + pList->item(i)->text();
        parts << texts.join(' ');
    }
    QString buttons;
    for (auto [id, mark] : {std::pair{int(Dlg::IDC_TO_CHOSEN), '>'},
                            {int(Dlg::IDC_SELECT_ALL), 'A'},
                            {int(Dlg::IDC_TO_CANDIDATES), '<'},
                            {int(Dlg::IDC_CLEAR_ALL), clearMark}})
        buttons += ControlOf(&dlg, id)->isEnabled() ? mark : '-';
    return parts.join('|') + "|" + buttons;
}

// A user's click: on a check box's indicator, else in the middle; a disabled control ignores it.
inline void ClickControl(QWidget* pDialog, int id) {
    QWidget* pWidget = ControlOf(pDialog, id);
    QVERIFY2(pWidget, qPrintable(QString::number(id)));
    QPoint at = pWidget->rect().center();
    if (auto* pCheck = qobject_cast<QCheckBox*>(pWidget)) {
        QStyleOptionButton option;
        option.initFrom(pCheck);
        at =
            pCheck->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, pCheck).center();
    }
    QTest::mouseClick(pWidget, Qt::LeftButton, Qt::NoModifier, at);
}

// Types text one character at a time as an input method would (QTest's keys know only ASCII).
inline void TypeText(QWidget* pWidget, const QString& text) {
    for (const QChar ch : text) {
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(pWidget, &event);
        }
    }
}

// Shows the dialog; every visible label and button must have room for its whole text.
inline void VerifyNothingCut(QWidget& dlg) {
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    for (QWidget* pWidget : dlg.findChildren<QWidget*>()) {
        if (!pWidget->isVisible() ||
            (!qobject_cast<QLabel*>(pWidget) && !qobject_cast<QAbstractButton*>(pWidget)))
            continue;
        const QString text = pWidget->property("text").toString();
        QVERIFY2(pWidget->width() >= pWidget->sizeHint().width(), qPrintable(text));
        QVERIFY2(pWidget->height() >= pWidget->minimumSizeHint().height(), qPrintable(text));
    }
}

// A scripted responder installed for the life of the object.
class CScriptedBoxes {
public:
    CScriptedMessageBox* operator->() { return m_pBoxes.get(); }

private:
    std::shared_ptr<CScriptedMessageBox> m_pBoxes = std::make_shared<CScriptedMessageBox>();
    CScopedMessageBoxService m_scope{m_pBoxes};
};
