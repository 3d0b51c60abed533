#include "ui/copyjob/OverwriteDlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

const CDialogBase::CMessageEntry<COverwriteDlg> COverwriteDlg::s_aMessageMap[] = {
    {COverwriteDlg::IDC_YES, ENotify::Clicked, &COverwriteDlg::OnYes},
    {COverwriteDlg::IDC_NO, ENotify::Clicked, &COverwriteDlg::OnNo},
    {COverwriteDlg::IDC_ABORT, ENotify::Clicked, &COverwriteDlg::OnAbort},
    {COverwriteDlg::IDC_COPY_ALL, ENotify::Clicked, &COverwriteDlg::OnCopyAll},
};

COverwriteDlg::COverwriteDlg(const COverwriteTexts& texts, QWidget* parent)
    : CDialogBase(IDD, TemplateFont(kProportionalFace, 9), parent) {
    setWindowTitle(QStr("上書き確認"));
    SetCloseBox(false);
    SetEscapeAnswer(IDC_NO);
    BuildLayout();
    VerifyControls({IDC_YES, IDC_NO, IDC_ABORT, IDC_COPY_ALL, IDC_SRC_PATH, IDC_SRC_SIZE,
                    IDC_SRC_DATE, IDC_DST_PATH, IDC_DST_SIZE, IDC_DST_DATE, IDC_SIZE_COMPARE,
                    IDC_DATE_COMPARE});
    ConnectMessageMap(s_aMessageMap);

    Control<QLabel>(IDC_SRC_PATH)->setText(QStr(texts.strSrcPath));
    Control<QLabel>(IDC_SRC_SIZE)->setText(QStr(texts.strSrcSize));
    Control<QLabel>(IDC_SRC_DATE)->setText(QStr(texts.strSrcDate));
    Control<QLabel>(IDC_DST_PATH)->setText(QStr(texts.strDstPath));
    Control<QLabel>(IDC_DST_SIZE)->setText(QStr(texts.strDstSize));
    Control<QLabel>(IDC_DST_DATE)->setText(QStr(texts.strDstDate));
    Control<QLabel>(IDC_SIZE_COMPARE)->setText(QStr(texts.strSizeCompare));
    Control<QLabel>(IDC_DATE_COMPARE)->setText(QStr(texts.strDateCompare));

    QPushButton* pYes = Control<QPushButton>(IDC_YES);
    pYes->setDefault(true);
    pYes->setFocus();
}

void COverwriteDlg::BuildLayout() {
    auto* pGrid = new QGridLayout;
    pGrid->setHorizontalSpacing(Units().X(4));
    const int indent = Units().X(12);
    pGrid->setColumnMinimumWidth(0, indent);
    // Source: path with "から", then size and date indented below it.
    pGrid->addWidget(MakePathStatic(IDC_SRC_PATH, "", 200), 0, 0, 1, 4);
    pGrid->addWidget(MakeLabel("から"), 0, 4);
    pGrid->addWidget(MakeLabel("ｻｲｽﾞ"), 1, 1);
    pGrid->addWidget(MakeStatic(IDC_SRC_SIZE, "", 80), 1, 2);
    pGrid->addWidget(MakeLabel("日付"), 2, 1);
    pGrid->addWidget(MakeStatic(IDC_SRC_DATE, "", 80), 2, 2);
    // Destination: the same, with the comparison words right of the figures.
    pGrid->addWidget(MakePathStatic(IDC_DST_PATH, "", 200), 3, 0, 1, 4);
    pGrid->addWidget(MakeLabel("へ"), 3, 4);
    pGrid->addWidget(MakeLabel("ｻｲｽﾞ"), 4, 1);
    pGrid->addWidget(MakeStatic(IDC_DST_SIZE, "", 80), 4, 2);
    pGrid->addWidget(MakeStatic(IDC_SIZE_COMPARE, "", 30), 4, 3);
    pGrid->addWidget(MakeLabel("日付"), 5, 1);
    pGrid->addWidget(MakeStatic(IDC_DST_DATE, "", 80), 5, 2);
    pGrid->addWidget(MakeStatic(IDC_DATE_COMPARE, "", 30), 5, 3);
    pGrid->setColumnStretch(3, 1);
    pGrid->setRowMinimumHeight(3, Units().Y(14));

    auto* pButtons = new QHBoxLayout;
    pButtons->addStretch(1);
    pButtons->addWidget(MakeButton(IDC_YES, "はい(&Y)"));
    pButtons->addWidget(MakeButton(IDC_NO, "いいえ(&N)"));
    pButtons->addWidget(MakeButton(IDC_COPY_ALL, "すべてｺﾋﾟｰ(&A)"));
    pButtons->addWidget(MakeButton(IDC_ABORT, "処理中断(&X)"));
    pButtons->addStretch(1);

    auto* pMain = new QVBoxLayout(this);
    ApplyTemplateMargins(pMain);
    pMain->addLayout(pGrid);
    pMain->addSpacing(Units().Y(4));
    pMain->addWidget(MakeLabel("このﾌｧｲﾙをｺﾋﾟｰしますか？"));
    pMain->addLayout(pButtons);
    pMain->setSizeConstraint(QLayout::SetFixedSize);
}
