// The run button and the main window as the run's host: status line, busy
// animation, close button, wait cursor, questions and the progress window.
#include "ui/app/CopyMainDlg.h"

#include "copyjob/FolderValidation.h"
#include "copyjob/SettingFileName.h"
#include "platform/HostServices.h"
#include "platform/MessageBoxService.h"
#include "ui/continuous/RenzokuConfirmDlg.h"
#include "ui/copyjob/CopyConfirmDlg.h"
#include "ui/copyjob/OverwriteDlg.h"
#include "ui/copyjob/ProgressDlg.h"
#include "ui/framework/Resources.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMovie>
#include <QPushButton>

void CCopyMainDlg::OnRun() {
    if (IsRenzoku()) {
        RunRenzoku();
        return;
    }
    ControlsToSetting();
    if (ValidateFolders(0) != 0)
        return;
    if (AskSaveChanges(1) == IDCANCEL)
        return;
    SetRunState(0);
    // Every run tells the user and the log how it ended; the end code is not
    // needed here.
    m_job.Execute();
    SetRunState(1);
}

void CCopyMainDlg::RunRenzoku() {
    // Every message of the run (empty set, final text) is shown by the run.
    RunRenzokuSet(m_job, m_nRenzokuIndex, *this);
}

bool CCopyMainDlg::SaveChangesFirst() {
    const int answer = AskSaveChanges(1);
    if (answer == IDCANCEL)
        return false;
    // Yes with the save dialog cancelled kept the changes: they are not
    // thrown away by the first step's load.
    if (answer == IDYES && m_bChanged)
        return false;
    // No: the changes are given up once the run starts (BeginRenzoku); a
    // cancelled confirmation leaves them as they were.
    return true;
}

bool CCopyMainDlg::ConfirmRenzoku(const std::vector<std::string>& aSet) {
    CRenzokuConfirmDlg dlg(aSet, this);
    return dlg.DoModal() == CRenzokuConfirmDlg::IDC_OK;
}

void CCopyMainDlg::BeginRenzoku() {
    // The save question was answered: the steps load without asking again.
    m_bChanged = 0;
    SetRunState(0);
    const int pos = SettingList()->currentIndex();
    m_strRenzokuReturn = pos >= 0 ? SettingNameAt(pos) + kSettingFileExtension : std::string();
}

void CCopyMainDlg::EndRenzoku() {
    ApplyRenzokuMode();
    if (!m_strRenzokuReturn.empty())
        SelectSettingByName(m_strRenzokuReturn);
    m_strRenzokuReturn.clear();
}

int CCopyMainDlg::ValidateFolders(int sourceOnly) {
    EFolderField failed = EFolderField::None;
    const int result = ::ValidateFolders(Setting(), sourceOnly, *this, &failed);
    if (result != 0 && failed != EFolderField::None)
        FindControl(failed == EFolderField::Source ? IDC_SRC_DIR : IDC_DST_DIR)->setFocus();
    return result;
}

void CCopyMainDlg::SetStatusText(const std::string& text) {
    Control<QLabel>(IDC_STATUS)->setText(QStr(text));
}

void CCopyMainDlg::ShowBusy(bool on, const std::string& caption) {
    auto* pAnimation = Control<QLabel>(IDC_BUSY_ANIMATION);
    auto* pCaption = Control<QLabel>(IDC_BUSY_CAPTION);
    auto* pPicture = Control<QLabel>(IDC_IDLE_PICTURE);
    if (on) {
        if (!caption.empty())
            pCaption->setText(QStr(caption));
        pPicture->hide();
        pAnimation->show();
        pCaption->show();
        // The animation is only loaded when first needed, to keep the start
        // quick.
        if (!m_pBusyMovie) {
            m_pBusyMovie =
                new QMovie(QString::fromUtf8(kBusyAnimationResource), QByteArray(), this);
            pAnimation->setMovie(m_pBusyMovie);
        }
        m_pBusyMovie->start();
    } else {
        if (m_pBusyMovie)
            m_pBusyMovie->stop();
        pAnimation->hide();
        pCaption->hide();
        pPicture->show();
    }
    Redraw();
}

void CCopyMainDlg::SetCloseCaption(const std::string& caption) {
    Control<QPushButton>(IDC_CLOSE)->setText(QStr(caption));
}

void CCopyMainDlg::EnableClose(bool enable) {
    EnableControl(IDC_CLOSE, enable);
}

void CCopyMainDlg::SetWaitCursor(bool on) {
    // Balanced: every wait cursor set is taken back once.
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++m_nWaitCursor;
    } else if (m_nWaitCursor > 0) {
        QApplication::restoreOverrideCursor();
        --m_nWaitCursor;
    }
}

void CCopyMainDlg::Redraw() {
    if (isVisible())
        repaint();
}

void CCopyMainDlg::PumpEvents() {
    m_pump.Pump();
}

int CCopyMainDlg::MessageBox(const std::string& text, unsigned style) {
    return CHostServices::Get().MessageBoxes().Show(text, "", style);
}

int CCopyMainDlg::AskOverwrite(const COverwriteTexts& texts) {
    COverwriteDlg dlg(texts, this);
    return dlg.DoModal();
}

int CCopyMainDlg::AskCopyConfirm(const CCopyConfirmTexts& texts) {
    CCopyConfirmDlg dlg(texts, this);
    return dlg.DoModal(IsRenzoku());
}

std::unique_ptr<IProgressDisplay> CCopyMainDlg::CreateProgress(const std::string& caption) {
    auto pProgress = std::make_unique<CProgressDlg>(caption);
    pProgress->CreateModeless(this);
    return pProgress;
}
