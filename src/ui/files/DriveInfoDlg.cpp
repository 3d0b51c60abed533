#include "ui/files/DriveInfoDlg.h"

#include "files/NumberFormat.h"
#include "platform/HostServices.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <cstdio>

namespace {
const char kUnknown[] = "不明";
} // namespace

const CDialogBase::CMessageEntry<CDriveInfoDlg> CDriveInfoDlg::s_aMessageMap[] = {
    {CDriveInfoDlg::IDC_OK, ENotify::Clicked, &CDriveInfoDlg::OnOK},
};

CDriveInfoDlg::CDriveInfoDlg(const std::string& path, QWidget* parent)
    : CDialogBase(IDD, TemplateFont(kProportionalFace, 9), parent), m_strPath(path) {
    setWindowTitle(QStr("ﾄﾞﾗｲﾌﾞ情報"));
    BuildLayout();
    VerifyControls(
        {IDC_OK, IDC_DRIVE, IDC_LABEL, IDC_FILE_SYSTEM, IDC_FREE, IDC_FREE_PERCENT, IDC_TOTAL});
    ConnectMessageMap(s_aMessageMap);
    OnInitDialog();
}

void CDriveInfoDlg::BuildLayout() {
    auto field = [this](int id, Qt::Alignment align, int cxDlu) {
        // A volume label may be as long as a path.
        QLabel* pField =
            id == IDC_LABEL ? MakePathStatic(id, "", cxDlu) : MakeStatic(id, "", cxDlu);
        pField->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pField->setAlignment(align | Qt::AlignVCenter);
        return pField;
    };
    auto* pGrid = new QGridLayout;
    const struct {
        const char* pszLabel;
        int nId;
        Qt::Alignment align;
    } rows[] = {{"ﾄﾞﾗｲﾌﾞ", IDC_DRIVE, Qt::AlignHCenter},
                {"ﾎﾞﾘｭｰﾑ名", IDC_LABEL, Qt::AlignLeft},
                {"ﾌｧｲﾙｼｽﾃﾑ", IDC_FILE_SYSTEM, Qt::AlignLeft},
                {"空き容量", IDC_FREE, Qt::AlignRight},
                {"全容量", IDC_TOTAL, Qt::AlignRight}};
    for (int row = 0; row < 5; ++row) {
        pGrid->addWidget(MakeLabel(rows[row].pszLabel), row, 0);
        pGrid->addWidget(field(rows[row].nId, rows[row].align, 80), row, 1);
    }
    // The free share stands right of the free space, followed by "％".
    auto* pPercent = new QHBoxLayout;
    pPercent->addWidget(field(IDC_FREE_PERCENT, Qt::AlignRight, 20));
    pPercent->addWidget(MakeLabel("％"));
    pGrid->addLayout(pPercent, 3, 2);
    QPushButton* pOk = MakeButton(IDC_OK, "OK");
    pOk->setDefault(true);
    pGrid->addWidget(pOk, 5, 1, 1, 2, Qt::AlignRight);
    ApplyTemplateMargins(pGrid);
    setLayout(pGrid);
    setMinimumSize(Units().X(173), Units().Y(102));
}

void CDriveInfoDlg::SetField(int id, const std::string& text) {
    Control<QLabel>(id)->setText(QStr(text));
}

void CDriveInfoDlg::OnInitDialog() {
    SetField(IDC_DRIVE, m_strPath.substr(0, 2));
    const char letter = m_strPath.size() >= 3 && m_strPath[1] == ':' ? m_strPath[0] : '\0';
    const std::optional<CVolumeFacts> facts =
        letter ? CHostServices::Get().Volumes().Query(letter) : std::nullopt;
    // A drive without a medium fails the volume query; a volume whose name
    // and file system were read may still fail the free-space query.
    if (!facts || (!facts->mediumPresent && facts->fileSystem.empty())) {
        SetField(IDC_LABEL, kUnknown);
        SetField(IDC_FILE_SYSTEM, kUnknown);
        return;
    }
    SetField(IDC_LABEL, facts->label);
    SetField(IDC_FILE_SYSTEM, facts->fileSystem);
    if (!facts->mediumPresent) {
        SetField(IDC_FREE, kUnknown);
        SetField(IDC_TOTAL, kUnknown);
        return;
    }
    // In floating point: sizes of many gigabytes neither wrap nor round.
    const double cluster = double(facts->bytesPerSector) * double(facts->sectorsPerCluster);
    SetField(IDC_FREE, FormatSize(cluster * double(facts->freeClusters)));
    SetField(IDC_TOTAL, FormatSize(cluster * double(facts->totalClusters)));
    char percent[32] = "0";
    if (facts->freeClusters != 0 && facts->totalClusters != 0)
        std::snprintf(percent, sizeof percent, "%.0f",
                      double(facts->freeClusters) * 100.0 / double(facts->totalClusters));
    SetField(IDC_FREE_PERCENT, percent);
}
