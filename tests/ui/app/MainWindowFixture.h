#pragma once
// Main-window tests: program folder, scripted boxes, settings and profile files (CP932, CR LF).

#include "files/PathUtils.h"
#include "platform/Cp932.h"
#include "platform/Profile.h"
#include "support/DialogTestHelpers.h"
#include "support/ProgramFolder.h"
#include "ui/app/CopyMainDlg.h"
#include "ui/app/SaveSettingDlg.h"

#include <QComboBox>
#include <QLineEdit>

using Dlg = CCopyMainDlg;

inline const char kAskSave[] = "設定が変更されています、保存しますか．";

struct CMainWindowFixture {
    CTestProgramFolder program;
    CScriptedBoxes boxes;

    // Writes "<name>.def" (Spec) or "Tidewell.Ini" (CopyInfo) keys "Key=value;..." (first counts).
    bool Write(const std::string& file, const QString& keys) const {
        std::string text = file == "Tidewell.Ini" ? "[CopyInfo]\r\n" : "[Spec]\r\n";
        for (const QString& pair : keys.split(';', Qt::SkipEmptyParts))
            text += pair.toStdString() + "\r\n";
        const std::optional<std::string> cp932 = Utf8ToCp932(text);
        return cp932 && program.WriteFile(file, *cp932);
    }
    // The window shown and active; with keys, on their setting "A" (S:\Work to D:\Backup default).
    std::unique_ptr<Dlg> Open(const QString& keys = {}, bool bLhaAvailable = true) const {
        if (!keys.isNull() && (!Write("A.def", keys + ";SrcDir=S:\\Work;DstDir=D:\\Backup") ||
                               !Write("Tidewell.Ini", "UsedDef=A")))
            return nullptr;
        auto pDlg = std::make_unique<Dlg>();
        pDlg->m_fnLhaAvailable = [bLhaAvailable] {
            return bLhaAvailable;
        };
        pDlg->show();
        pDlg->activateWindow();
        return QTest::qWaitForWindowActive(pDlg.get()) ? std::move(pDlg) : nullptr;
    }
    std::string Value(const std::string& file, const std::string& key) const {
        const char* section = file == "Tidewell.Ini" ? "CopyInfo" : "Spec";
        return GetProfileString(section, key, "<absent>", GetProgramFolder() + file);
    }
};

inline bool IsEnabled(Dlg& dlg, int id) {
    return ControlOf(&dlg, id)->isEnabled();
}
// Replaces an edit's text as an input method or a paste does.
inline void TypeInto(Dlg& dlg, int id, const QString& text) {
    ControlAs<QLineEdit>(&dlg, id)->selectAll();
    ControlAs<QLineEdit>(&dlg, id)->insert(text);
}
// Chooses a list entry as a user does (the selection notification follows).
inline void ChooseEntry(Dlg& dlg, int pos) {
    auto* pList = ControlAs<QComboBox>(&dlg, Dlg::IDC_SETTING_LIST);
    pList->setCurrentIndex(pos);
    emit pList->activated(pos);
}
// List entries joined by "|", selected position, loaded name and source, changed state.
inline QString State(Dlg& dlg) {
    auto* pList = ControlAs<QComboBox>(&dlg, Dlg::IDC_SETTING_LIST);
    QStringList entries;
    for (int i = 0; i < pList->count(); ++i)
        entries << pList->itemText(i);
    return QStringList({entries.join('|'), QString::number(pList->currentIndex()),
                        QString::number(dlg.m_nCurSel), QString::fromStdString(dlg.m_strUsedDef),
                        Texts(&dlg, {Dlg::IDC_SRC_DIR}), QString::number(dlg.m_bChanged)})
        .join(' ');
}
// Answers the next modal of that template with a click on that control.
inline void AnswerWith(int templateId, int buttonId) {
    AnswerNextModal([buttonId](QWidget* pModal) { ClickControl(pModal, buttonId); }, templateId);
}
// Answers the save dialog that comes next: the name and OK, or Cancel for null.
inline void AnswerSaveDialog(const char* name) {
    const QString text = QString::fromUtf8(name);
    AnswerNextModal(
        [bCancel = name == nullptr, text](QWidget* pModal) {
            if (!bCancel)
                ControlAs<QLineEdit>(pModal, CSaveSettingDlg::IDC_NAME)->setText(text);
            ClickControl(pModal, bCancel ? CSaveSettingDlg::IDC_CANCEL : CSaveSettingDlg::IDC_OK);
        },
        CSaveSettingDlg::IDD);
}
