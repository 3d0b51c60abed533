#pragma once
// Helpers of the main window's smaller dialogs' tests: answering a nested
// modal run and installing a scripted message-box responder.

#include "support/ScriptedMessageBox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// Acts on the next modal window once it is up (a nested exec()).
inline void OnNextModal(std::function<void(QWidget*)> action, int triesLeft = 200) {
    QTimer::singleShot(10, [action = std::move(action), triesLeft] {
        if (QWidget* pModal = QApplication::activeModalWidget())
            action(pModal);
        else if (triesLeft > 0)
            OnNextModal(action, triesLeft - 1);
    });
}

// Types the text into the focused-or-not widget one character at a time,
// as a keyboard (or an input method committing each character) would;
// QTest's own key clicks know only ASCII.
inline void TypeText(QWidget* pWidget, const QString& text) {
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(pWidget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(pWidget, &release);
    }
}

// A scripted responder installed for the life of the object.
class CScriptedBoxes {
public:
    CScriptedBoxes() : m_pBoxes(std::make_shared<CScriptedMessageBox>()), m_scope(m_pBoxes) {}
    CScriptedMessageBox& operator*() { return *m_pBoxes; }
    CScriptedMessageBox* operator->() { return m_pBoxes.get(); }

private:
    std::shared_ptr<CScriptedMessageBox> m_pBoxes;
    CScopedMessageBoxService m_scope;
};
