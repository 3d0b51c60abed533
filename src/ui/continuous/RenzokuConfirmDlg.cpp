#include "ui/continuous/RenzokuConfirmDlg.h"

#include "continuous/RenzokuSet.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

const CDialogBase::CMessageEntry<CRenzokuConfirmDlg> CRenzokuConfirmDlg::s_aMessageMap[] = {
    {CRenzokuConfirmDlg::IDC_OK, ENotify::Clicked, &CRenzokuConfirmDlg::OnOK},
    {CRenzokuConfirmDlg::IDC_CANCEL, ENotify::Clicked, &CRenzokuConfirmDlg::OnCancel},
};

CRenzokuConfirmDlg::CRenzokuConfirmDlg(const std::vector<std::string>& aSet, QWidget* parent)
    : CDialogBase(IDD, TemplateFont(kProportionalFace, 9), parent) {
    setWindowTitle(QStr("連続処理実行前の確認"));
    BuildLayout();
    VerifyControls({IDC_OK, IDC_CANCEL, IDC_ORDER});
    ConnectMessageMap(s_aMessageMap);
    auto* pList = Control<QListWidget>(IDC_ORDER);
    for (size_t i = 0; i < aSet.size(); ++i)
        pList->addItem(QStr(RenzokuOrderLine(static_cast<int>(i) + 1, aSet[i])));
    auto* pOk = Control<QPushButton>(IDC_OK);
    pOk->setDefault(true);
    pOk->setFocus();
}

void CRenzokuConfirmDlg::BuildLayout() {
    auto* pList = new QListWidget(this);
    // The positions are right-aligned in three characters: a fixed pitch
    // lines the names up.
    pList->setFont(TemplateFont(kFixedFace, 9));
    pList->setMinimumSize(Units().X(180), Units().Y(90));
    BindControl(IDC_ORDER, pList);

    auto* pButtons = new QHBoxLayout;
    pButtons->addStretch(1);
    pButtons->addWidget(MakeButton(IDC_OK, "OK"));
    pButtons->addWidget(MakeButton(IDC_CANCEL, "ｷｬﾝｾﾙ"));

    auto* pMain = new QVBoxLayout(this);
    ApplyTemplateMargins(pMain);
    pMain->addWidget(MakeLabel("この処理順で連続処理を実行します．"));
    pMain->addWidget(pList, 1);
    pMain->addLayout(pButtons);
}
