#include "ui/app/LogViewerDlg.h"

#include "app/LogLines.h"
#include "files/PathUtils.h"
#include "platform/TextFileReader.h"

#include <QListWidget>
#include <QStringList>
#include <QVBoxLayout>

#include <vector>

CDeleteLog::CDeleteLog(const std::string& logPath, QWidget* parent)
    : CDialogBase(IDD, TemplateFont(kFixedFace, 10), parent), m_strLogPath(logPath) {
    setWindowTitle(QStr("ログ"));
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);
    auto* pList = new QListWidget(this);
    pList->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    pList->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Long rows scroll sideways pixel by pixel rather than being cut.
    pList->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    pList->setTextElideMode(Qt::ElideNone);
    pList->setWordWrap(false);
    // Rows differ in width, so each is measured; a long log is measured in
    // batches after the first rows are shown, keeping the window responsive.
    pList->setLayoutMode(QListView::Batched);
    pList->setBatchSize(2000);
    pList->setFrameShape(QFrame::StyledPanel);
    BindControl(IDC_LOG_LIST, pList);
    VerifyControls({IDC_LOG_LIST});
    // The list covers the whole client area and follows every resize
    // (the layout takes the place of a size handler).
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addWidget(pList);
    resize(Units().X(282), Units().Y(155));
}

int CDeleteLog::DoModal() {
    if (!OnInitDialog())
        return 2;
    return exec();
}

bool CDeleteLog::OnInitDialog() {
    if (FileExists(m_strLogPath) != 1) {
        WarningBox("ログファイルがありません．", "CDeleteLog::OnInitDialog()");
        EndDialog(2);
        return false;
    }
    SetList();
    return true;
}

void CDeleteLog::SetList() {
    std::vector<std::string> lines;
    const int error = ReadTextFileLines(m_strLogPath, lines);
    auto* pList = Control<QListWidget>(IDC_LOG_LIST);
    pList->clear(); // a second reading replaces the rows rather than repeating them
    if (!lines.empty()) {
        setWindowTitle(QStr(DecodeLogReferences(lines.front())));
        QStringList rows;
        rows.reserve(static_cast<qsizetype>(lines.size() - 1));
        for (size_t i = 1; i < lines.size(); ++i)
            rows.append(QStr(DecodeLogReferences(lines[i])));
        pList->addItems(rows);
    }
    if (error != 0) {
        std::string text = GetSystemErrorText(error);
        if (text.empty())
            text = "ログファイルを読み込めません (" + std::to_string(error) + ")．";
        WarningBox(text, "CDeleteLog::SetList()");
    }
}
