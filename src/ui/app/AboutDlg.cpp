#include "ui/app/AboutDlg.h"

#include "platform/HostServices.h"
#include "ui/framework/Resources.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

const CDialogBase::CMessageEntry<CAboutDlg> CAboutDlg::s_aMessageMap[] = {
    {CAboutDlg::IDC_OK, ENotify::Clicked, &CAboutDlg::OnOK},
};

CAboutDlg::CAboutDlg(QWidget* parent, const std::string& libraryName)
    : CDialogBase(IDD, TemplateFont(kProportionalFace, 9), parent) {
    setWindowTitle(QStr("ﾊﾞｰｼﾞｮﾝ情報 Tidewell"));
    BuildLayout();
    VerifyControls({IDC_OK, IDC_DLL_VERSION, IDC_SETTINGS_FOLDER});
    ConnectMessageMap(s_aMessageMap);
    m_strDllVersion = LhaDllVersionText(libraryName);
    Control<QLabel>(IDC_DLL_VERSION)->setText(QStr(m_strDllVersion));
    auto* pOk = Control<QPushButton>(IDC_OK);
    pOk->setDefault(true);
    pOk->setFocus();
}

void CAboutDlg::BuildLayout() {
    InitResources();
    auto* pIcon = new QLabel(this);
    pIcon->setPixmap(QIcon(QString::fromUtf8(kAppIconResource)).pixmap(Units().X(20)));
    pIcon->setAlignment(Qt::AlignTop);

    auto* pGroup = new QGroupBox(this);
    auto* pTexts = new QVBoxLayout(pGroup);
    pTexts->addWidget(MakeLabel("Tidewall Version 1.10"));
    pTexts->addWidget(MakeLabel("ﾌｫﾙﾀﾞのｺﾋﾟｰとLZH圧縮 (Linux版)"));
    auto* pDll = new QHBoxLayout;
    pDll->addWidget(MakeLabel("UNLHA32.DLLのﾊﾞｰｼﾞｮﾝ"));
    pDll->addWidget(MakeStatic(IDC_DLL_VERSION, "Ver 0.83", 40), 1);
    pTexts->addLayout(pDll);
    pTexts->addWidget(MakeLabel("設定ﾌｫﾙﾀﾞ"));
    auto* pFolder = MakeStatic(IDC_SETTINGS_FOLDER, "", 40);
    // A long path wraps after its separators rather than widening the dialog.
    QString folder = QString::fromStdString(CHostServices::Get().ProgramFolderHost());
    pFolder->setText(folder.replace('/', QStringLiteral("/\u200B")));
    pFolder->setWordWrap(true);
    pFolder->setMaximumWidth(Units().X(200));
    pTexts->addWidget(pFolder);

    auto* pButtons = new QVBoxLayout;
    pButtons->addWidget(MakeButton(IDC_OK, "OK"));
    pButtons->addStretch(1);

    auto* pMain = new QHBoxLayout(this);
    ApplyTemplateMargins(pMain);
    pMain->addWidget(pIcon);
    pMain->addWidget(pGroup, 1);
    pMain->addLayout(pButtons);
    pMain->setSizeConstraint(QLayout::SetFixedSize);
}
