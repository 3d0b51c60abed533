#include "MainWindowFixture.h"

#include "files/PathUtils.h"
#include "platform/Cp932.h"
#include "platform/Profile.h"
#include "ui/app/SaveSettingDlg.h"

#include <QApplication>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>

namespace {

bool WriteIni(const CMainWindowFixture& fx, const std::string& file, const std::string& section,
              const KeyValues& keys) {
    std::string text = "[" + section + "]\r\n";
    for (const auto& [key, value] : keys)
        text += key + "=" + value + "\r\n";
    const std::optional<std::string> cp932 = Utf8ToCp932(text);
    return cp932 && fx.program.WriteFile(file, *cp932);
}

} // namespace

bool CMainWindowFixture::WriteSetting(const std::string& name, const KeyValues& spec) const {
    return WriteIni(*this, name + ".def", "Spec", spec);
}

bool CMainWindowFixture::WriteProfile(const KeyValues& copyInfo) const {
    return WriteIni(*this, "Tidewell.Ini", "CopyInfo", copyInfo);
}

std::unique_ptr<CCopyMainDlg> CMainWindowFixture::Open(bool bLhaAvailable) const {
    auto pDlg = std::make_unique<CCopyMainDlg>();
    pDlg->m_fnLhaAvailable = [bLhaAvailable] {
        return bLhaAvailable;
    };
    pDlg->show();
    if (!QTest::qWaitForWindowExposed(pDlg.get()))
        qWarning("the main window was not exposed");
    return pDlg;
}

QWidget* ControlOf(QWidget* pDialog, int id) {
    for (QWidget* pWidget : pDialog->findChildren<QWidget*>()) {
        if (pWidget->property("controlId").toInt() == id)
            return pWidget;
    }
    return nullptr;
}

void ClickControl(QWidget* pDialog, int id) {
    QWidget* pWidget = ControlOf(pDialog, id);
    if (!pWidget) {
        QFAIL(qPrintable(QStringLiteral("no control %1").arg(id)));
        return;
    }
    QPoint at = pWidget->rect().center();
    if (auto* pCheck = qobject_cast<QCheckBox*>(pWidget)) {
        QStyleOptionButton option;
        option.initFrom(pCheck);
        at =
            pCheck->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, pCheck).center();
    }
    QTest::mouseClick(pWidget, Qt::LeftButton, Qt::NoModifier, at);
}

void TypeInto(QWidget* pDialog, int id, const QString& text) {
    auto* pEdit = ControlAs<QLineEdit>(pDialog, id);
    pEdit->selectAll();
    bool bAscii = true;
    for (QChar c : text)
        bAscii = bAscii && c.unicode() < 0x80;
    if (text.isEmpty())
        QTest::keyClick(pEdit, Qt::Key_Delete);
    else if (bAscii)
        QTest::keyClicks(pEdit, text);
    else
        pEdit->insert(text); // as typed through an input method or pasted
}

void ChooseEntry(CCopyMainDlg& dlg, int pos) {
    auto* pList = ControlAs<QComboBox>(&dlg, CCopyMainDlg::IDC_SETTING_LIST);
    pList->setCurrentIndex(pos);
    emit pList->activated(pos);
}

std::vector<std::string> ListTexts(CCopyMainDlg& dlg) {
    auto* pList = ControlAs<QComboBox>(&dlg, CCopyMainDlg::IDC_SETTING_LIST);
    std::vector<std::string> texts;
    for (int i = 0; i < pList->count(); ++i)
        texts.push_back(pList->itemText(i).toStdString());
    return texts;
}

bool IsChecked(QWidget* pDialog, int id) {
    return ControlAs<QCheckBox>(pDialog, id)->isChecked();
}

bool IsEnabled(QWidget* pDialog, int id) {
    return ControlOf(pDialog, id)->isEnabled();
}

namespace {
void OnNextModalTry(std::function<void(QWidget*)> action, int triesLeft) {
    QTimer::singleShot(10, [action = std::move(action), triesLeft] {
        if (QWidget* pModal = QApplication::activeModalWidget())
            action(pModal);
        else if (triesLeft > 0)
            OnNextModalTry(action, triesLeft - 1);
    });
}
} // namespace

void OnNextModal(std::function<void(QWidget*)> action) {
    OnNextModalTry(std::move(action), 300);
}

void AnswerSaveDialog(const char* name) {
    const bool bCancel = name == nullptr;
    const QString text = bCancel ? QString() : QString::fromUtf8(name);
    OnNextModal([bCancel, text](QWidget* pModal) {
        if (pModal->property("templateId").toInt() != CSaveSettingDlg::IDD) {
            qWarning("the save dialog was expected");
            return;
        }
        if (bCancel) {
            ControlAs<QAbstractButton>(pModal, CSaveSettingDlg::IDC_CANCEL)->click();
            return;
        }
        ControlAs<QLineEdit>(pModal, CSaveSettingDlg::IDC_NAME)->setText(text);
        ControlAs<QAbstractButton>(pModal, CSaveSettingDlg::IDC_OK)->click();
    });
}

std::string ProfileValue(const CMainWindowFixture&, const std::string& file,
                         const std::string& section, const std::string& key) {
    return GetProfileString(section, key, "<absent>", GetProgramFolder() + file);
}
