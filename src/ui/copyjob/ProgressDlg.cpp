#include "ui/copyjob/ProgressDlg.h"

#include "copyjob/ProgressPercent.h"
#include "copyjob/TransferTexts.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdint>
#include <exception>
#include <thread>

namespace {

// The bar's own resolution; wider ranges are scaled onto it.
constexpr int kBarPositions = 65535;

} // namespace

const CDialogBase::CMessageEntry<CProgressDlg> CProgressDlg::s_aMessageMap[] = {
    {CProgressDlg::IDC_CANCEL, ENotify::Clicked, &CProgressDlg::OnCancel},
};

CProgressDlg::CProgressDlg(int captionId)
    : CProgressDlg(CaptionString(captionId == 0 ? IDS_PROCESSING : captionId)) {}

CProgressDlg::CProgressDlg(const std::string& caption)
    : CDialogBase(IDD, TemplateFont(kProportionalFace, 9), nullptr) {
    setWindowTitle(QStr(caption));
    SetEscapeHandler([this] { OnCancel(); });
    BuildLayout();
    VerifyControls({IDC_CANCEL, IDC_PROGRESS, IDC_PERCENT});
    ConnectMessageMap(s_aMessageMap);
    ApplyBarRange();
    Control<QProgressBar>(IDC_PROGRESS)->setValue(BarValue(m_nLower));
    m_heldTimer.setSingleShot(true);
    connect(&m_heldTimer, &QTimer::timeout, this, [this] {
        if (!m_bHeld)
            return;
        m_throttle.MarkShown();
        DrawState();
    });
}

CProgressDlg::~CProgressDlg() {
    RestoreOwner();
    hide();
}

std::string CProgressDlg::CaptionString(int captionId) {
    switch (captionId) {
    case IDS_PROCESSING:
        return "処理中です．．．．．";
    case IDS_COPYING:
        return "ｺﾋﾟｰ中です．．．．．";
    case IDS_COMPRESSING:
        return "圧縮中です．．．";
    default:
        return {};
    }
}

void CProgressDlg::BuildLayout() {
    auto* pBar = new QProgressBar(this);
    pBar->setTextVisible(false);
    pBar->setMinimumSize(Units().X(180), Units().Y(10));
    BindControl(IDC_PROGRESS, pBar);

    auto* pRow = new QHBoxLayout;
    pRow->addWidget(MakeStatic(IDC_PERCENT, kInitialPercentText, 40), 1);
    pRow->addWidget(MakeButton(IDC_CANCEL, "ｷｬﾝｾﾙ"));

    // The file name takes the width the bar gives and never widens the
    // window; the counts stand below it, left and right.
    QLabel* pFile = MakePathStatic(IDC_CURRENT_FILE, "");
    pFile->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* pCounts = new QHBoxLayout;
    pCounts->addWidget(MakeStatic(IDC_FILE_COUNT, ""), 1);
    pCounts->addWidget(MakeStatic(IDC_BYTE_COUNT, ""));
    for (int id : {IDC_CURRENT_FILE, IDC_FILE_COUNT, IDC_BYTE_COUNT})
        FindControl(id)->hide(); // until a copy run reports its counts

    auto* pMain = new QVBoxLayout(this);
    ApplyTemplateMargins(pMain);
    pMain->addWidget(pBar);
    pMain->addWidget(pFile);
    pMain->addLayout(pCounts);
    pMain->addLayout(pRow);
    pMain->setSizeConstraint(QLayout::SetFixedSize);
}

int CProgressDlg::CreateModeless(QWidget* parent) {
    // The owner is disabled before this window joins it: a window that joins a
    // disabled parent stays enabled, while disabling the parent afterwards
    // would disable this window too and Cancel could not be pressed.
    m_pOwner = parent ? parent->window() : nullptr;
    if (m_pOwner && m_pOwner->isEnabled()) {
        m_pOwner->setEnabled(false);
        m_bOwnerDisabled = true;
    }
    setParent(parent, windowFlags());
    show();
    return 1;
}

void CProgressDlg::RestoreOwner() {
    if (m_bOwnerDisabled && m_pOwner)
        m_pOwner->setEnabled(true);
    m_bOwnerDisabled = false;
}

void CProgressDlg::ApplyBarRange() {
    const int64_t span = static_cast<int64_t>(m_nUpper) - m_nLower;
    auto* pBar = Control<QProgressBar>(IDC_PROGRESS);
    if (span >= 0 && span <= kBarPositions)
        pBar->setRange(m_nLower, m_nUpper);
    else
        pBar->setRange(0, kBarPositions);
}

int CProgressDlg::BarValue(int pos) const {
    const int64_t span = static_cast<int64_t>(m_nUpper) - m_nLower;
    if (span <= 0)
        return span == 0 ? m_nLower : 0;
    const int clamped = std::clamp(pos, m_nLower, m_nUpper);
    if (span <= kBarPositions)
        return clamped;
    return static_cast<int>((static_cast<int64_t>(clamped) - m_nLower) * kBarPositions / span);
}

void CProgressDlg::SetProgressRange(int lower, int upper) {
    m_nLower = lower;
    m_nUpper = upper;
    ApplyBarRange();
    Control<QProgressBar>(IDC_PROGRESS)->setValue(BarValue(m_nPos));
}

void CProgressDlg::SetProgressStep(int step) {
    m_nStep = step;
}

int CProgressDlg::SetProgressPos(int pos) {
    PumpPendingMessages();
    const int previous = m_nPos;
    m_nPos = pos;
    m_nPercentPos = pos;
    UpdateDisplay();
    return previous;
}

int CProgressDlg::StepProgress() {
    PumpPendingMessages();
    const int previous = m_nPos;
    int64_t next = static_cast<int64_t>(previous) + m_nStep;
    const int64_t span = static_cast<int64_t>(m_nUpper) - m_nLower;
    // Like a stepped bar, the position starts over once it passes the upper end.
    if (next > m_nUpper && span > 0)
        next = m_nLower + (next - m_nLower) % span;
    m_nPos = static_cast<int>(next);
    // The percentage follows the stepped value itself, so the last step of a
    // range reads 100%.
    m_nPercentPos = static_cast<int>(
        std::clamp<int64_t>(static_cast<int64_t>(previous) + m_nStep, INT32_MIN, INT32_MAX));
    UpdateDisplay();
    return previous;
}

void CProgressDlg::ShowTransfer(const CTransferState& state) {
    m_transfer = state;
    if (!m_bTransferShown) {
        m_bTransferShown = true;
        for (int id : {IDC_CURRENT_FILE, IDC_FILE_COUNT, IDC_BYTE_COUNT})
            FindControl(id)->show();
    }
    UpdateDisplay();
}

void CProgressDlg::UpdateDisplay() {
    m_bHeld = true;
    if (m_throttle.Due())
        DrawState();
    else if (!m_heldTimer.isActive())
        m_heldTimer.start(m_throttle.MsUntilDue());
}

void CProgressDlg::DrawState() {
    m_bHeld = false;
    Control<QProgressBar>(IDC_PROGRESS)->setValue(BarValue(m_nPos));
    ShowPercent(m_nPercentPos);
    if (!m_bTransferShown)
        return;
    const auto setText = [this](int id, const std::string& text) {
        auto* pLabel = Control<QLabel>(id);
        const QString qText = QStr(text);
        if (pLabel->text() != qText)
            pLabel->setText(qText);
    };
    setText(IDC_CURRENT_FILE, m_transfer.strCurrentFile);
    setText(IDC_FILE_COUNT, TransferFilesText(m_transfer.nFilesDone, m_transfer.nFilesTotal));
    setText(IDC_BYTE_COUNT, TransferBytesText(m_transfer.nBytesDone, m_transfer.nBytesTotal));
}

int CProgressDlg::TakeCancelRequest() {
    PumpPendingMessages();
    const bool bCancel = m_bCancel;
    m_bCancel = false;
    return bCancel ? 1 : 0;
}

void CProgressDlg::PumpPendingMessages() {
    m_pump.Pump();
}

int CProgressDlg::RunBlockingCall(const std::function<int()>& call) {
    auto* pCancel = Control<QPushButton>(IDC_CANCEL);
    auto* pBar = Control<QProgressBar>(IDC_PROGRESS);
    const bool bCancelEnabled = pCancel->isEnabled();
    pCancel->setEnabled(false);
    pBar->setRange(0, 0); // a busy bar: the call reports no progress
    m_bBlocking = true;
    int result = 0;
    std::exception_ptr error;
    QEventLoop loop;
    std::thread worker([&] {
        try {
            result = call();
        } catch (...) {
            error = std::current_exception();
        }
        // Queued: it is handled once the loop below runs, however soon the
        // call returns.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    m_bBlocking = false;
    ApplyBarRange();
    pBar->setValue(BarValue(m_nPos));
    pCancel->setEnabled(bCancelEnabled);
    if (error)
        std::rethrow_exception(error);
    return result;
}

void CProgressDlg::ShowPercent(int pos) {
    const QString text = QStr(PercentText(pos, m_nLower, m_nUpper));
    auto* pLabel = Control<QLabel>(IDC_PERCENT);
    if (pLabel->text() != text)
        pLabel->setText(text);
}
