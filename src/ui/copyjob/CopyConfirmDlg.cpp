#include "ui/copyjob/CopyConfirmDlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

const CDialogBase::CMessageEntry<CCopyConfirmDlg> CCopyConfirmDlg::s_aMessageMap[] = {
    {CCopyConfirmDlg::IDC_START, ENotify::Clicked, &CCopyConfirmDlg::OnStart},
    {CCopyConfirmDlg::IDC_CANCEL, ENotify::Clicked, &CCopyConfirmDlg::OnCancel},
};

CCopyConfirmDlg::CCopyConfirmDlg(const CCopyConfirmTexts& texts, QWidget* parent)
    : CDialogBase(IDD, TemplateFont(kFixedFace, 9), parent), m_bCanStart(texts.bCanStart) {
    setWindowTitle(QStr("ｺﾋﾟｰ前の確認"));
    SetCloseBox(false);
    SetEscapeAnswer(IDC_CANCEL);
    BuildLayout();
    VerifyControls({IDC_START, IDC_CANCEL, IDC_SRC_DIR, IDC_DST_DIR, IDC_DRIVE_TYPE, IDC_TOTAL,
                    IDC_FREE, IDC_FILES, IDC_CHANGE, IDC_REMAINING, IDC_MESSAGE, IDC_ICON});
    ConnectMessageMap(s_aMessageMap);

    Control<QLabel>(IDC_SRC_DIR)->setText(QStr(texts.strSrcDir));
    Control<QLabel>(IDC_DST_DIR)->setText(QStr(texts.strDstDir));
    Control<QLabel>(IDC_DRIVE_TYPE)->setText(QStr(texts.strDriveType));
    Control<QLabel>(IDC_TOTAL)->setText(QStr(texts.strTotal));
    Control<QLabel>(IDC_FREE)->setText(QStr(texts.strFree));
    Control<QLabel>(IDC_FILES)->setText(QStr(texts.strFiles));
    Control<QLabel>(IDC_CHANGE)->setText(QStr(texts.strChange));
    Control<QLabel>(IDC_REMAINING)->setText(QStr(texts.strRemaining));
    Control<QLabel>(IDC_MESSAGE)->setText(QStr(texts.strMessage));

    const QStyle::StandardPixmap icon =
        m_bCanStart ? QStyle::SP_MessageBoxQuestion : QStyle::SP_MessageBoxCritical;
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    Control<QLabel>(IDC_ICON)->setPixmap(
        style()->standardIcon(icon, nullptr, this).pixmap(iconSize));

    QPushButton* pStart = Control<QPushButton>(IDC_START);
    QPushButton* pCancel = Control<QPushButton>(IDC_CANCEL);
    pStart->setEnabled(m_bCanStart);
    pStart->setDefault(m_bCanStart);
    pCancel->setDefault(!m_bCanStart);
    (m_bCanStart ? pStart : pCancel)->setFocus();
}

int CCopyConfirmDlg::DoModal(bool bRenzoku) {
    if (bRenzoku && m_bCanStart)
        return IDC_START;
    return exec();
}

// The start button is disabled when the room is lacking; this guard keeps a
// keyboard default from starting the copy anyway.
void CCopyConfirmDlg::OnStart() {
    if (m_bCanStart)
        EndDialog(IDC_START);
}

void CCopyConfirmDlg::BuildLayout() {
    auto* pGroup = new QGroupBox(QStr("ｺﾋﾟｰ先"), this);
    auto* pFigures = new QGridLayout(pGroup);
    pFigures->setHorizontalSpacing(Units().X(4));
    pFigures->addWidget(MakePathStatic(IDC_DST_DIR, "", 200), 0, 0, 1, 2);
    const struct {
        const char* pszLabel;
        int nId;
    } aRows[] = {{"ﾀｲﾌﾟ", IDC_DRIVE_TYPE}, {"全容量", IDC_TOTAL},  {"空容量", IDC_FREE},
                 {"転送数", IDC_FILES},    {"増減量", IDC_CHANGE}, {"残容量", IDC_REMAINING}};
    int row = 1;
    for (const auto& entry : aRows) {
        pFigures->addWidget(MakeLabel(entry.pszLabel), row, 0);
        pFigures->addWidget(MakeStatic(entry.nId, "", 150), row, 1);
        ++row;
    }
    pFigures->setColumnStretch(1, 1);

    auto* pSource = new QHBoxLayout;
    pSource->addWidget(MakeLabel("ｺﾋﾟｰ元"));
    pSource->addWidget(MakePathStatic(IDC_SRC_DIR, "", 200), 1);

    auto* pMessage = new QHBoxLayout;
    QLabel* pIcon = MakeStatic(IDC_ICON, "");
    pIcon->setMinimumSize(Units().X(21), Units().Y(20));
    pIcon->setAlignment(Qt::AlignCenter);
    pMessage->addWidget(pIcon);
    pMessage->addWidget(MakeStatic(IDC_MESSAGE, "", 150), 1);

    auto* pButtons = new QHBoxLayout;
    pButtons->addStretch(1);
    pButtons->addWidget(MakeButton(IDC_START, "ｺﾋﾟｰ開始"));
    pButtons->addWidget(MakeButton(IDC_CANCEL, "ｷｬﾝｾﾙ"));
    pButtons->addStretch(1);

    auto* pMain = new QVBoxLayout(this);
    ApplyTemplateMargins(pMain);
    pMain->addLayout(pSource);
    pMain->addWidget(pGroup);
    pMain->addLayout(pMessage);
    pMain->addLayout(pButtons);
    pMain->setSizeConstraint(QLayout::SetFixedSize);
}
