// The main window's folder fields: the browse buttons, host paths dropped
// or pasted into the fields, and the drive-letter dialog of its menu.
#include "ui/app/CopyMainDlg.h"

#include "app/AppProfile.h"
#include "platform/DriveAssignment.h"
#include "ui/files/DriveLettersDlg.h"
#include "ui/files/FolderSelectDlg.h"
#include "ui/files/HostPathInput.h"

#include <QAction>
#include <QLineEdit>

void CCopyMainDlg::OnBrowseSource() {
    BrowseInto(IDC_SRC_DIR, "ｺﾋﾟｰ元ﾌｫﾙﾀﾞの選択");
}

void CCopyMainDlg::OnBrowseDest() {
    BrowseInto(IDC_DST_DIR, "ｺﾋﾟｰ先ﾌｫﾙﾀﾞの選択");
}

// OK without any folder chosen (the typed one no longer exists) leaves the
// field as it was instead of emptying it.
void CCopyMainDlg::BrowseInto(int id, const char* title) {
    CFolderSelectDlg dlg(title, GetText(id), 1, this);
    if (dlg.DoModal() != CFolderSelectDlg::IDC_OK || dlg.m_strResultPath.empty())
        return;
    SetText(id, dlg.m_strResultPath);
    MarkChanged();
}

// Media the desktop mounted get their letters as the window opens, so the
// first look at the tree or the fields already shows them.
void CCopyMainDlg::InstallFolderInputs() {
    AssignRemovableLetters(RemovableMediaMounts(), AppProfilePath());
    new CHostPathInput(Control<QLineEdit>(IDC_SRC_DIR));
    new CHostPathInput(Control<QLineEdit>(IDC_DST_DIR));
    auto* pLetters = new QAction(QStr("ドライブの割り当て..."), this);
    connect(pLetters, &QAction::triggered, this, [this] {
        CDriveLettersDlg dlg(this);
        dlg.DoModal();
    });
    addAction(pLetters);
}
