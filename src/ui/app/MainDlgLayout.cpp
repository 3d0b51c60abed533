// The main window's controls (template 102: ids, captions, order and
// groups) and their arrangement. Controls are created in the template's
// order, which gives the tab order; Qt layouts place them, with sizes in
// the template's dialog units as minimums, so no text is cut.
#include "ui/app/CopyMainDlg.h"

#include "app/SettingTexts.h"
#include "copyjob/RunTexts.h"
#include "ui/framework/Resources.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace {

const char kVersionMenuText[] = "ﾊﾞｰｼﾞｮﾝ情報(Tidewell) (&A)...";

// The template's check boxes, in its order, with their captions.
struct CCheckSpec {
    int nId;
    const char* pszText;
};
const CCheckSpec kOptionChecks[] = {
    {CCopyMainDlg::IDC_NEW_CHK, SettingText::kNewChk},
    {CCopyMainDlg::IDC_USED_CHK, SettingText::kUsedChk},
    {CCopyMainDlg::IDC_SUBDIR_CHK, SettingText::kSubDirChk},
    {CCopyMainDlg::IDC_ANS_CHK, SettingText::kAnsChk},
    {CCopyMainDlg::IDC_DUST_CHK, SettingText::kDustChk},
    {CCopyMainDlg::IDC_COPYDIR_CHK, SettingText::kCopyDirChk},
    {CCopyMainDlg::IDC_ALLCLR_CHK, SettingText::kAllClrChk},
};

} // namespace

void CCopyMainDlg::BuildControls() {
    auto makeEdit = [this](int id, int cxDlu) {
        auto* pEdit = new QLineEdit(this);
        pEdit->setMinimumWidth(Units().X(cxDlu));
        BindControl(id, pEdit);
        return pEdit;
    };
    auto makeCheck = [this](int id, const char* text) {
        auto* pCheck = new QCheckBox(QStr(text), this);
        BindControl(id, pCheck);
        return pCheck;
    };
    auto* pList = new QComboBox(this);
    pList->setEditable(false);
    pList->setMinimumWidth(Units().X(150));
    pList->setMaxVisibleItems(20);
    BindControl(IDC_SETTING_LIST, pList);
    MakeButton(IDC_DELETE, "削除(&D)");
    MakeButton(IDC_SAVE, "設定を保存(&S)...", 60);
    makeEdit(IDC_SRC_DIR, 220);
    MakeButton(IDC_BROWSE_SRC, "参照(&R)...");
    makeEdit(IDC_DST_DIR, 220);
    MakeButton(IDC_BROWSE_DST, "参照(&T)...");
    makeEdit(IDC_WILD_LIST, 220);
    MakeButton(IDC_CANDIDATES, "候補(&K)...");
    for (const CCheckSpec& spec : kOptionChecks)
        makeCheck(spec.nId, spec.pszText);
    makeCheck(IDC_OUTDIR_CHK, SettingText::kOutDirChk);
    MakeButton(IDC_OUTDIR_SETTING, "除外ﾌｫﾙﾀﾞ設定(&U)...", 70);
    makeCheck(IDC_LHA_CHK, SettingText::kLhaChk);
    MakeButton(IDC_LHA_SETTING, "LHAの設定(&V)...", 70);
    QPushButton* pRun = MakeButton(IDC_RUN, "実行(&G)", 70, 20);
    pRun->setDefault(true);

    QLabel* pPicture = MakeStatic(IDC_IDLE_PICTURE, "");
    pPicture->setAlignment(Qt::AlignCenter);
    pPicture->setFrameStyle(QFrame::Box | QFrame::Plain);
    pPicture->setMinimumSize(Units().X(100), Units().Y(56));
    pPicture->setPixmap(QPixmap(QString::fromUtf8(kIdlePictureResource)));
    QLabel* pAnimation = MakeStatic(IDC_BUSY_ANIMATION, "");
    pAnimation->setAlignment(Qt::AlignCenter);
    pAnimation->setMinimumSize(pPicture->minimumSize());
    QLabel* pCaption = MakeStatic(IDC_BUSY_CAPTION, RunText::kCollectingBusy);
    pCaption->setAlignment(Qt::AlignCenter);
    // The busy display takes the picture's place without moving anything.
    for (QLabel* pLabel : {pAnimation, pCaption}) {
        QSizePolicy policy = pLabel->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        pLabel->setSizePolicy(policy);
        pLabel->hide();
    }

    makeCheck(IDC_RENZOKU_CHK, "連続実行");
    MakeButton(IDC_RENZOKU_SETTING, "連続実行の設定(&R)", 70);
    MakeButton(IDC_LOG, "ログ(&L)...");
    MakeButton(IDC_CLOSE, RunText::kCloseCaption);
    MakeButton(IDC_HELP, "ヘルプ(&H)...");
    QLabel* pStatus = MakeStatic(IDC_STATUS, "");
    pStatus->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // Status texts name whole paths: they are cut at the window's edge
    // rather than widening the fixed-size window.
    pStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    pStatus->setMinimumHeight(Units().Y(12));
}

void CCopyMainDlg::BuildLayout() {
    auto group = [this](const char* title, QLayout* pInner) {
        auto* pGroup = new QGroupBox(QStr(title), this);
        pGroup->setLayout(pInner);
        return pGroup;
    };
    auto labelFor = [this](const char* text, int id) {
        QLabel* pLabel = MakeLabel(text);
        pLabel->setBuddy(FindControl(id));
        return pLabel;
    };

    auto* pListRow = new QHBoxLayout;
    pListRow->addWidget(FindControl(IDC_SETTING_LIST), 1);
    pListRow->addWidget(FindControl(IDC_DELETE));
    pListRow->addWidget(FindControl(IDC_SAVE));

    auto* pFolders = new QGridLayout;
    pFolders->addWidget(labelFor("ｺﾋﾟｰ元ﾌｫﾙﾀﾞ(&Y)", IDC_SRC_DIR), 0, 0);
    pFolders->addWidget(FindControl(IDC_SRC_DIR), 0, 1);
    pFolders->addWidget(FindControl(IDC_BROWSE_SRC), 0, 2);
    pFolders->addWidget(labelFor("ｺﾋﾟｰ先ﾌｫﾙﾀﾞ(&Z)", IDC_DST_DIR), 1, 0);
    pFolders->addWidget(FindControl(IDC_DST_DIR), 1, 1);
    pFolders->addWidget(FindControl(IDC_BROWSE_DST), 1, 2);
    pFolders->setColumnStretch(1, 1);

    auto* pWildRow = new QHBoxLayout;
    pWildRow->addWidget(FindControl(IDC_WILD_LIST), 1);
    pWildRow->addWidget(FindControl(IDC_CANDIDATES));

    auto* pOptions = new QVBoxLayout;
    for (const CCheckSpec& spec : kOptionChecks)
        pOptions->addWidget(FindControl(spec.nId));

    auto* pExclude = new QHBoxLayout;
    pExclude->addWidget(FindControl(IDC_OUTDIR_CHK), 1);
    pExclude->addWidget(FindControl(IDC_OUTDIR_SETTING));
    auto* pLha = new QHBoxLayout;
    pLha->addWidget(FindControl(IDC_LHA_CHK), 1);
    pLha->addWidget(FindControl(IDC_LHA_SETTING));

    auto* pLeft = new QVBoxLayout;
    pLeft->addWidget(group("ｵﾌﾟｼｮﾝ(&O)", pOptions));
    pLeft->addWidget(group("除外ﾌｫﾙﾀﾞ(&M)", pExclude));
    pLeft->addWidget(group("LHA(&P)", pLha));

    // The picture and the busy animation share one cell.
    auto* pRight = new QGridLayout;
    pRight->addWidget(FindControl(IDC_IDLE_PICTURE), 0, 0, 1, 2);
    pRight->addWidget(FindControl(IDC_BUSY_ANIMATION), 0, 0, 1, 2);
    pRight->addWidget(FindControl(IDC_BUSY_CAPTION), 1, 0, 1, 2);
    pRight->addWidget(FindControl(IDC_RUN), 2, 0, 1, 2);
    pRight->addWidget(FindControl(IDC_RENZOKU_CHK), 3, 0);
    pRight->addWidget(FindControl(IDC_RENZOKU_SETTING), 3, 1);
    pRight->setRowStretch(0, 1);

    auto* pMiddle = new QHBoxLayout;
    pMiddle->addLayout(pLeft, 1);
    pMiddle->addLayout(pRight);

    auto* pButtons = new QHBoxLayout;
    pButtons->addStretch(1);
    pButtons->addWidget(FindControl(IDC_LOG));
    pButtons->addWidget(FindControl(IDC_CLOSE));
    pButtons->addWidget(FindControl(IDC_HELP));

    // The controls live on a page inside a scroll area that shows no frame
    // and, while the window fits its screen, no scroll bar either.
    auto* pPage = new QWidget(this);
    auto* pMain = new QVBoxLayout(pPage);
    ApplyTemplateMargins(pMain);
    pMain->addWidget(group("設定ﾌｧｲﾙ(&E)", pListRow));
    pMain->addLayout(pFolders);
    pMain->addWidget(group("ｺﾋﾟｰﾘｽﾄ(&W)", pWildRow));
    pMain->addLayout(pMiddle, 1);
    pMain->addLayout(pButtons);
    pMain->addWidget(FindControl(IDC_STATUS));

    // The page has the template's size, or more when the texts need it.
    const QSize templateSize(Units().X(387), Units().Y(277));
    pPage->setFixedSize(pMain->totalSizeHint().expandedTo(templateSize));
    m_pScroll = new QScrollArea(this);
    m_pScroll->setFrameShape(QFrame::NoFrame);
    m_pScroll->setWidget(pPage);
    auto* pOuter = new QVBoxLayout(this);
    pOuter->setContentsMargins(0, 0, 0, 0);
    pOuter->addWidget(m_pScroll);
    FitToScreen();
}

void CCopyMainDlg::FitToScreen() {
    // A fixed-size window, the page's size, as long as the screen holds it;
    // on a smaller (or more magnified) screen the window takes what there is
    // and the page scrolls, so every control stays reachable.
    const QSize page = m_pScroll->widget()->size();
    const QSize available = AvailableSize();
    QSize size = page.boundedTo(available);
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    if (size.width() < page.width()) // the horizontal bar takes its height
        size.setHeight(std::min(page.height() + bar, available.height()));
    if (size.height() < page.height() + (size.width() < page.width() ? bar : 0))
        size.setWidth(std::min(size.width() + bar, available.width()));
    setFixedSize(size);
}

void CCopyMainDlg::showEvent(QShowEvent* pEvent) {
    // The screen is known for sure only now, and may differ from the one
    // assumed at construction.
    FitToScreen();
    if (windowHandle() && !m_bWatchesScreen) {
        m_bWatchesScreen = true;
        connect(windowHandle(), &QWindow::screenChanged, this, [this] { FitToScreen(); });
    }
    CDialogBase::showEvent(pEvent);
}

void CCopyMainDlg::BuildSystemMenu() {
    // The desktop's window menu cannot take entries of ours; the version
    // entry lives in the window's context menu instead.
    auto* pVersion = new QAction(QStr(kVersionMenuText), this);
    connect(pVersion, &QAction::triggered, this, [this] { OnSysCommand(IDM_ABOUTBOX); });
    addAction(pVersion);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    // The Help command (F1) opens the help at its start, as the help button
    // does.
    auto* pHelp = new QShortcut(QKeySequence::HelpContents, this);
    connect(pHelp, &QShortcut::activated, this, [this] { OnHelpButton(); });
}

void CCopyMainDlg::SetCheck(int id, int32_t state) {
    Control<QCheckBox>(id)->setChecked(state != 0);
}

int32_t CCopyMainDlg::GetCheck(int id) const {
    return Control<QCheckBox>(id)->isChecked() ? 1 : 0;
}

void CCopyMainDlg::EnableControl(int id, bool enable) {
    FindControl(id)->setEnabled(enable);
}

void CCopyMainDlg::SetText(int id, const std::string& text) {
    Control<QLineEdit>(id)->setText(QStr(text));
}

std::string CCopyMainDlg::GetText(int id) const {
    return StdStr(Control<QLineEdit>(id)->text());
}

QComboBox* CCopyMainDlg::SettingList() const {
    return Control<QComboBox>(IDC_SETTING_LIST);
}
