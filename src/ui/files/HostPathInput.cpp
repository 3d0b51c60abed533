#include "ui/files/HostPathInput.h"

#include "app/AppProfile.h"
#include "platform/DriveAssignment.h"
#include "platform/HostServices.h"
#include "ui/files/DriveLettersDlg.h"
#include "ui/framework/DialogBase.h"

#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

namespace {

const char kUnmapped[] = "%s\nはどのﾄﾞﾗｲﾌﾞ文字にも含まれないﾌｫﾙﾀﾞです．\n\n"
                         "ドライブの割り当てを開いて、ﾄﾞﾗｲﾌﾞ文字を割り当てますか？";

// The first local file or folder of a drop, or empty.
QString DroppedPath(const QMimeData* pData) {
    if (!pData || !pData->hasUrls() || pData->urls().isEmpty() ||
        !pData->urls().front().isLocalFile())
        return {};
    return pData->urls().front().toLocalFile();
}

bool IsHostPath(const QString& text) {
    return text.startsWith('/');
}

} // namespace

std::string UnmappedPathMessage(const std::string& hostPath) {
    std::string text = kUnmapped;
    return text.replace(text.find("%s"), 2, hostPath);
}

CHostPathInput::CHostPathInput(QLineEdit* pEdit) : QObject(pEdit), m_pEdit(pEdit) {
    m_pEdit->installEventFilter(this);
    m_pEdit->setAcceptDrops(true);
    m_strBefore = m_pEdit->text();
    connect(m_pEdit, &QLineEdit::textEdited, this, &CHostPathInput::OnTextEdited);
    connect(m_pEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!m_pEdit->isModified())
            m_strBefore = text; // set by the program, not by an edit
    });
    connect(m_pEdit, &QLineEdit::editingFinished, this, [this] {
        // A path the user declined to map is not asked about again at each
        // leaving of the field.
        if (IsHostPath(m_pEdit->text()) && m_pEdit->text() != m_strDeclined)
            Convert(StdStr(m_pEdit->text()));
    });
}

bool CHostPathInput::Convert(const std::string& hostPath) {
    // A medium plugged in since the last look gets its letter first.
    AssignRemovableLetters(RemovableMediaMounts(), AppProfilePath());
    CDriveMap& map = CHostServices::Get().DriveMap();
    const std::string folder = MappingFolderFor(hostPath);
    std::optional<std::string> drivePath = map.FromHost(folder);
    if (!drivePath && CHostServices::Get().MessageBoxes().Show(
                          UnmappedPathMessage(hostPath), "", MB_YESNO | MB_ICONQUESTION) == IDYES) {
        CDriveLettersDlg dlg(m_pEdit->window(), folder);
        if (dlg.DoModal() == CDriveLettersDlg::IDC_OK)
            drivePath = map.FromHost(folder);
    }
    if (!drivePath) {
        m_strDeclined = QStr(hostPath);
        return false;
    }
    m_pEdit->setText(QStr(*drivePath));
    m_strBefore = m_pEdit->text();
    return true;
}

// A change of more than one character at once is a paste (or an input
// method's commit): a host path that arrives so is converted at once.
void CHostPathInput::OnTextEdited(const QString& text) {
    const bool bPasted = text.size() > m_strBefore.size() + 1 ||
                         (text.size() > 1 && !text.startsWith(m_strBefore.left(1)));
    m_strBefore = text;
    if (bPasted && IsHostPath(text))
        Convert(StdStr(text));
}

bool CHostPathInput::eventFilter(QObject* pWatched, QEvent* pEvent) {
    if (pWatched != m_pEdit)
        return false;
    if (pEvent->type() == QEvent::DragEnter || pEvent->type() == QEvent::DragMove) {
        auto* pDrag = static_cast<QDropEvent*>(pEvent);
        if (DroppedPath(pDrag->mimeData()).isEmpty())
            return false;
        pDrag->acceptProposedAction();
        return true;
    }
    if (pEvent->type() == QEvent::Drop) {
        auto* pDrop = static_cast<QDropEvent*>(pEvent);
        const QString path = DroppedPath(pDrop->mimeData());
        if (path.isEmpty())
            return false;
        pDrop->acceptProposedAction();
        m_pEdit->setFocus();
        Convert(StdStr(path));
        return true;
    }
    return false;
}
