#include "ui/lha/LhaSettingDlg.h"

#include "app/StorableText.h"
#include "copyjob/ArchiveName.h"
#include "copyjob/CopySetting.h"
#include "files/PathUtils.h"
#include "platform/ErrorCodes.h"
#include "platform/HostServices.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const char kBrowseTitle[] = "書庫ﾌｧｲﾙの選択";
const char kBrowseFilter[] = "書庫ﾌｧｲﾙ(*.LZH)";
const char kPreviewLead[] = "今の日時では: ";
const char kCannotStore[] = "保存できない文字が含まれています．";
} // namespace

const CDialogBase::CMessageEntry<CLhaSettingDlg> CLhaSettingDlg::s_aMessageMap[] = {
    {CLhaSettingDlg::IDC_NEW_CHK, ENotify::Clicked, &CLhaSettingDlg::OnNewCheck},
    {CLhaSettingDlg::IDC_ALLCLR_CHK, ENotify::Clicked, &CLhaSettingDlg::OnAllClrCheck},
    {CLhaSettingDlg::IDC_AUTO_FILE_CHK, ENotify::Clicked, &CLhaSettingDlg::OnAutoFileCheck},
    {CLhaSettingDlg::IDC_FILE_HEDER, ENotify::Changed, &CLhaSettingDlg::UpdatePreview},
    {CLhaSettingDlg::IDC_BROWSE, ENotify::Clicked, &CLhaSettingDlg::OnBrowse},
    {CLhaSettingDlg::IDC_HELP, ENotify::Clicked, &CLhaSettingDlg::OnHelp},
    {CLhaSettingDlg::IDC_OK, ENotify::Clicked, &CLhaSettingDlg::OnOK},
    {CLhaSettingDlg::IDC_CANCEL, ENotify::Clicked, &CLhaSettingDlg::OnCancel},
};

CLhaSettingDlg::CLhaSettingDlg(CCopySetting& setting, QWidget* parent, std::function<void()> help)
    : CDialogBase(IDD, TemplateFont(kProportionalFace, 9), parent), m_setting(setting),
      m_fnHelp(std::move(help)) {
    setWindowTitle(QStr("LHAの設定"));
    BuildLayout();
    VerifyControls({IDC_OK, IDC_CANCEL, IDC_NEW_CHK, IDC_SUBDIR_CHK, IDC_ALLCLR_CHK, IDC_BROWSE,
                    IDC_LHA_NAME, IDC_HELP, IDC_OPTIONS, IDC_AUTO_FILE_CHK, IDC_FILE_HEDER,
                    IDC_NAME_PREVIEW});
    ConnectMessageMap(s_aMessageMap);
    OnInitDialog();
    // The preview names the minute the run would start in.
    auto* pTimer = new QTimer(this);
    connect(pTimer, &QTimer::timeout, this, [this] { UpdatePreview(); });
    pTimer->start(1000);
}

void CLhaSettingDlg::BuildLayout() {
    const auto edit = [this](int id, int cxDlu) {
        auto* pEdit = new QLineEdit(this);
        pEdit->setMinimumWidth(Units().X(cxDlu));
        BindControl(id, pEdit);
        return pEdit;
    };
    const auto check = [this](int id, const char* text) {
        auto* pCheck = new QCheckBox(QStr(text), this);
        BindControl(id, pCheck);
        return pCheck;
    };
    const auto label = [this](const char* text, QWidget* pBuddy) {
        QLabel* pLabel = MakeLabel(text);
        pLabel->setBuddy(pBuddy);
        return pLabel;
    };
    // Created in the template's order, which is the tab order.
    auto* pGrid = new QGridLayout;
    pGrid->addWidget(label("書庫ﾌｧｲﾙ名(&F)", edit(IDC_LHA_NAME, 120)), 0, 0);
    pGrid->addWidget(FindControl(IDC_LHA_NAME), 0, 1);
    pGrid->addWidget(MakeButton(IDC_BROWSE, "参照(&P)..."), 0, 2);
    pGrid->addWidget(check(IDC_AUTO_FILE_CHK, "ﾌｧｲﾙ名を日付で自動生成する(&N)"), 1, 0, 1, 3);
    pGrid->addWidget(label("自動生成ﾌｫｰﾏｯﾄ(&H)", edit(IDC_FILE_HEDER, 120)), 2, 0);
    pGrid->addWidget(FindControl(IDC_FILE_HEDER), 2, 1, 1, 2);
    pGrid->addWidget(MakePathStatic(IDC_NAME_PREVIEW, "", 120), 3, 1, 1, 2);

    auto* pOptions = new QGroupBox(QStr("ｵﾌﾟｼｮﾝ(&O)"), this);
    auto* pChecks = new QVBoxLayout(pOptions);
    pChecks->addWidget(check(IDC_SUBDIR_CHK, "下位ﾌｫﾙﾀﾞをﾌｧｲﾙｺﾋﾟｰの対象としない．"));
    pChecks->addWidget(check(IDC_NEW_CHK, "ﾀｲﾑｽﾀﾝﾌﾟを評価して新しいﾌｧｲﾙだけをｺﾋﾟｰする．"));
    pChecks->addWidget(check(IDC_ALLCLR_CHK, "ｺﾋﾟｰ前に既存書庫ﾌｧｲﾙを削除する．"));

    auto* pExtra = new QHBoxLayout;
    pExtra->addWidget(label("追加ｵﾌﾟｼｮﾝ(&A)", edit(IDC_OPTIONS, 120)));
    pExtra->addWidget(FindControl(IDC_OPTIONS), 1);

    auto* pFields = new QVBoxLayout;
    pFields->addLayout(pGrid);
    pFields->addWidget(pOptions);
    pFields->addLayout(pExtra);
    pFields->addStretch(1);

    auto* pButtons = new QVBoxLayout;
    pButtons->addWidget(MakeButton(IDC_OK, "OK"));
    pButtons->addWidget(MakeButton(IDC_CANCEL, "ｷｬﾝｾﾙ"));
    pButtons->addWidget(MakeButton(IDC_HELP, "ﾍﾙﾌﾟ(&H)..."));
    pButtons->addStretch(1);

    auto* pMain = new QHBoxLayout(this);
    ApplyTemplateMargins(pMain);
    pMain->addLayout(pFields, 1);
    pMain->addLayout(pButtons);
    pMain->setSizeConstraint(QLayout::SetFixedSize);
    Control<QPushButton>(IDC_OK)->setDefault(true);
}

void CLhaSettingDlg::OnInitDialog() {
    m_setting.LoadLha();
    m_strLhaName = m_setting.LhaName;
    m_bAutoFileChk = m_setting.AutoFileChk;
    m_strFileHeder = m_setting.FileHeder.empty() ? kProposedFormat : m_setting.FileHeder;
    m_bSubDirChk = m_setting.LhaSubDirChk;
    m_bNewChk = m_setting.LhaNewChk;
    m_bAllClrChk = m_setting.LhaAllClrChk;
    m_strOptionStr = m_setting.OptionStr;
    // Both boxes show what is stored, even when both are on; each is then
    // locked by the other.
    FindControl(IDC_ALLCLR_CHK)->setEnabled(!m_bNewChk);
    FindControl(IDC_NEW_CHK)->setEnabled(!m_bAllClrChk);
    FindControl(IDC_HELP)->setEnabled(static_cast<bool>(m_fnHelp));
    UpdateData(false);
    ApplyAutoName();
}

void CLhaSettingDlg::UpdateData(bool bSave) {
    const auto text = [this](int id) {
        return Control<QLineEdit>(id);
    };
    const auto box = [this](int id) {
        return Control<QCheckBox>(id);
    };
    if (bSave) {
        m_strLhaName = StdStr(text(IDC_LHA_NAME)->text());
        m_strFileHeder = StdStr(text(IDC_FILE_HEDER)->text());
        m_strOptionStr = StdStr(text(IDC_OPTIONS)->text());
        m_bAutoFileChk = box(IDC_AUTO_FILE_CHK)->isChecked();
        m_bSubDirChk = box(IDC_SUBDIR_CHK)->isChecked();
        m_bNewChk = box(IDC_NEW_CHK)->isChecked();
        m_bAllClrChk = box(IDC_ALLCLR_CHK)->isChecked();
        return;
    }
    text(IDC_LHA_NAME)->setText(QStr(m_strLhaName));
    text(IDC_FILE_HEDER)->setText(QStr(m_strFileHeder));
    text(IDC_OPTIONS)->setText(QStr(m_strOptionStr));
    box(IDC_AUTO_FILE_CHK)->setChecked(m_bAutoFileChk != 0);
    box(IDC_SUBDIR_CHK)->setChecked(m_bSubDirChk != 0);
    box(IDC_NEW_CHK)->setChecked(m_bNewChk != 0);
    box(IDC_ALLCLR_CHK)->setChecked(m_bAllClrChk != 0);
}

void CLhaSettingDlg::ApplyAutoName() {
    const bool bAuto = m_bAutoFileChk != 0;
    FindControl(IDC_LHA_NAME)->setEnabled(!bAuto);
    FindControl(IDC_BROWSE)->setEnabled(!bAuto);
    FindControl(IDC_FILE_HEDER)->setEnabled(bAuto);
    FindControl(IDC_NAME_PREVIEW)->setEnabled(bAuto);
    UpdatePreview();
}

void CLhaSettingDlg::UpdatePreview() {
    const std::string format = StdStr(Control<QLineEdit>(IDC_FILE_HEDER)->text());
    const std::string name = FormatArchiveName(format, CHostServices::Get().Now());
    const EArchiveNameProblem problem = CheckArchiveName(name);
    std::string text = kPreviewLead + name;
    if (problem != EArchiveNameProblem::None)
        text += (name.empty() ? "" : "  ") + ArchiveNameProblemText(problem);
    auto* pPreview = Control<QLabel>(IDC_NAME_PREVIEW);
    pPreview->setText(QStr(text));
    // A refused name stands out; a usable one looks like any other text.
    QPalette palette = this->palette();
    if (problem != EArchiveNameProblem::None)
        palette.setColor(QPalette::WindowText, Qt::darkRed);
    pPreview->setPalette(palette);
}

void CLhaSettingDlg::OnNewCheck() {
    UpdateData(true);
    if (m_bNewChk)
        Control<QCheckBox>(IDC_ALLCLR_CHK)->setChecked(false);
    m_bAllClrChk = m_bNewChk ? 0 : m_bAllClrChk;
    FindControl(IDC_ALLCLR_CHK)->setEnabled(!m_bNewChk);
}

void CLhaSettingDlg::OnAllClrCheck() {
    UpdateData(true);
    if (m_bAllClrChk)
        Control<QCheckBox>(IDC_NEW_CHK)->setChecked(false);
    m_bNewChk = m_bAllClrChk ? 0 : m_bNewChk;
    FindControl(IDC_NEW_CHK)->setEnabled(!m_bAllClrChk);
}

void CLhaSettingDlg::OnAutoFileCheck() {
    UpdateData(true);
    ApplyAutoName();
}

void CLhaSettingDlg::OnBrowse() {
    // The archive is always made in the destination folder: the dialog
    // starts there, and only the chosen file's name is kept.
    const std::optional<std::string> folder =
        CHostServices::Get().DriveMap().ToHost(m_setting.DstDir);
    QFileDialog dlg(this, QStr(kBrowseTitle), folder ? QStr(*folder) : QString(),
                    QStr(kBrowseFilter));
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::AnyFile); // a new archive may be named too
    dlg.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::ReadOnly);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return;
    UpdateData(true);
    m_strLhaName = StdStr(dlg.selectedFiles().constFirst().section('/', -1));
    UpdateData(false);
}

void CLhaSettingDlg::OnHelp() {
    if (m_fnHelp)
        m_fnHelp();
}

void CLhaSettingDlg::OnOK() {
    UpdateData(true);
    const std::string refusal = ArchiveNameRefusal(m_bAutoFileChk, m_strLhaName, m_strFileHeder,
                                                   CHostServices::Get().Now());
    if (!refusal.empty()) {
        WarningBox(refusal, "CLhaSettingDlg::OnOK()");
        FindControl(m_bAutoFileChk ? IDC_FILE_HEDER : IDC_LHA_NAME)->setFocus();
        return;
    }
    m_setting.LhaAllClrChk = m_bAllClrChk;
    m_setting.LhaNewChk = m_bNewChk;
    m_setting.LhaSubDirChk = m_bSubDirChk;
    m_setting.LhaName = m_strLhaName;
    m_setting.OptionStr = m_strOptionStr;
    m_setting.AutoFileChk = m_bAutoFileChk;
    m_setting.FileHeder = m_strFileHeder;
    m_setting.SaveLha();
    if (const int error = m_setting.LastSaveError(); error != 0) {
        // Nothing was stored: the setting goes back to what the file holds
        // and the dialog stays open for a correction.
        const std::string reason = GetSystemErrorText(error);
        const std::string unstorable = UnstorableFieldMessage({{"書庫ﾌｧｲﾙ名", m_strLhaName},
                                                               {"自動生成ﾌｫｰﾏｯﾄ", m_strFileHeder},
                                                               {"追加ｵﾌﾟｼｮﾝ", m_strOptionStr}});
        WarningBox(error != ERROR_NO_UNICODE_TRANSLATION
                       ? (reason.empty() ? "ｴﾗｰｺｰﾄﾞ " + std::to_string(error) : reason)
                   : unstorable.empty() ? kCannotStore
                                        : unstorable,
                   "CLhaSettingDlg::OnOK()");
        m_setting.LoadLha();
        return;
    }
    EndDialog(IDC_OK);
}
