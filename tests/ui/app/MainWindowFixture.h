#pragma once
// What every main-window test needs: a temporary program folder, scripted
// message boxes, settings files and profiles written as the program's
// files are (CP932, CR LF), and helpers that act on controls by their ids
// the way a user does.

#include "support/ProgramFolder.h"
#include "support/ScriptedMessageBox.h"
#include "ui/app/CopyMainDlg.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

using KeyValues = std::vector<std::pair<std::string, std::string>>;

struct CMainWindowFixture {
    CTestProgramFolder program;
    std::shared_ptr<CScriptedMessageBox> boxes = std::make_shared<CScriptedMessageBox>();
    CScopedMessageBoxService boxService{boxes};

    // Writes "<name>.def" with section Spec holding the keys (CP932, CR LF).
    bool WriteSetting(const std::string& name, const KeyValues& spec) const;
    // Writes "Tidewell.Ini" with section CopyInfo holding the keys.
    bool WriteProfile(const KeyValues& copyInfo) const;
    // The window built and shown (exposed), ready for clicks.
    std::unique_ptr<CCopyMainDlg> Open(bool bLhaAvailable = true) const;
};

// A control of a dialog found from outside by its "controlId" property.
QWidget* ControlOf(QWidget* pDialog, int id);
template <class T> T* ControlAs(QWidget* pDialog, int id) {
    return qobject_cast<T*>(ControlOf(pDialog, id));
}

// A user's click: on a check box's indicator, in the middle of a button.
// Nothing happens when the control is disabled, as for a user.
void ClickControl(QWidget* pDialog, int id);
// Types text into an edit that held any text before (select all, type).
void TypeInto(QWidget* pDialog, int id, const QString& text);
// Chooses a list entry as a user does (the selection notification follows).
void ChooseEntry(CCopyMainDlg& dlg, int pos);
// The texts of the settings list, in display order.
std::vector<std::string> ListTexts(CCopyMainDlg& dlg);
bool IsChecked(QWidget* pDialog, int id);
bool IsEnabled(QWidget* pDialog, int id);

// Acts on the next modal window once it is up (a nested exec()).
void OnNextModal(std::function<void(QWidget*)> action);
// Answers the save dialog that comes next: types the name and presses OK,
// or presses Cancel when name is null.
void AnswerSaveDialog(const char* name);

// A value of a profile file as the program reads it.
std::string ProfileValue(const CMainWindowFixture& fx, const std::string& file,
                         const std::string& section, const std::string& key);
