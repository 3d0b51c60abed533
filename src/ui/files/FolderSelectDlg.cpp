#include "ui/files/FolderSelectDlg.h"

#include "app/AppProfile.h"
#include "platform/AsciiCase.h"
#include "platform/DriveAssignment.h"
#include "platform/FolderScan.h"
#include "platform/FolderWatch.h"
#include "platform/HostServices.h"
#include "ui/files/DriveInfoDlg.h"
#include "ui/files/DriveLettersDlg.h"
#include "ui/framework/Resources.h"

#include <QBitmap>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPersistentModelIndex>
#include <QPixmap>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char kCaption[] = "ﾌｫﾙﾀﾞの参照";
const char kDriveInfoMenu[] = "ﾄﾞﾗｲﾌﾞ情報(&I)...";
const char kDriveLettersMenu[] = "ドライブの割り当て(&A)...";

// Watches one dialog may hold; far more folders than a screen shows.
constexpr size_t kMaxWatches = 16384;

// The tree control. "*" would expand everything below an item, reading a
// whole drive: the key is not taken.
class CFolderTree : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;

protected:
    void keyPressEvent(QKeyEvent* pEvent) override {
        if (pEvent->key() == Qt::Key_Asterisk) {
            pEvent->accept();
            return;
        }
        QTreeWidget::keyPressEvent(pEvent);
    }
};

// Marks the dialog's own changes of the tree, whose notifications it must
// not take for the user's.
class CQuiet {
public:
    explicit CQuiet(int& nCount) : m_nCount(nCount) { ++m_nCount; }
    ~CQuiet() { --m_nCount; }
    CQuiet(const CQuiet&) = delete;
    CQuiet& operator=(const CQuiet&) = delete;

private:
    int& m_nCount;
};

std::string TextOf(const QTreeWidgetItem* pItem) {
    return StdStr(pItem->text(0));
}

QTreeWidgetItem* TopOf(QTreeWidgetItem* pItem) {
    while (pItem->parent())
        pItem = pItem->parent();
    return pItem;
}

bool IsBelow(const QTreeWidgetItem* pItem, const QTreeWidgetItem* pAncestor) {
    for (pItem = pItem ? pItem->parent() : nullptr; pItem; pItem = pItem->parent())
        if (pItem == pAncestor)
            return true;
    return false;
}

int DriveIndex(const std::string& path) {
    return !path.empty() && IsAsciiLetter(path[0]) ? UpperAscii(path[0]) - 'A' : -1;
}

} // namespace

const CDialogBase::CMessageEntry<CFolderSelectDlg> CFolderSelectDlg::s_aMessageMap[] = {
    {CFolderSelectDlg::IDC_OK, ENotify::Clicked, &CFolderSelectDlg::OnOK},
    {CFolderSelectDlg::IDC_CANCEL, ENotify::Clicked, &CFolderSelectDlg::OnCancel},
    {CFolderSelectDlg::IDC_DRIVE_INFO, ENotify::Clicked, &CFolderSelectDlg::OnDriveInfo},
};

CFolderSelectDlg::CFolderSelectDlg(const std::string& title, const std::string& initialPath,
                                   int selectInitial, QWidget* parent)
    : CDialogBase(IDD, TemplateFont(kProportionalFace, 9), parent), m_strInitialPath(initialPath),
      m_nSelectInitial(selectInitial), m_strTitle(title),
      m_pWatch(new CFolderWatch(kMaxWatches, this)) {
    InitResources();
    setWindowTitle(QStr(kCaption));
    BuildLayout();
    VerifyControls({IDC_OK, IDC_CANCEL, IDC_DRIVE_INFO, IDC_TREE, IDC_STATUS});
    ConnectMessageMap(s_aMessageMap);
    QTreeWidget* pTree = Tree();
    connect(pTree, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* pItem) { OnItemExpanding(pItem, true); });
    connect(pTree, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem* pItem) { OnItemExpanding(pItem, false); });
    connect(pTree, &QTreeWidget::itemSelectionChanged, this, [this] { OnSelChanged(); });
    connect(pTree, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (QTreeWidgetItem* pItem = Tree()->itemAt(at)) {
            QMenu* pMenu = CreateItemMenu(pItem);
            pMenu->exec(Tree()->viewport()->mapToGlobal(at));
            delete pMenu;
        }
    });
    connect(m_pWatch, &CFolderWatch::FoldersChanged, this, &CFolderSelectDlg::OnFoldersChanged);
    OnInitDialog();
}

CFolderSelectDlg::~CFolderSelectDlg() = default;

void CFolderSelectDlg::BuildLayout() {
    auto* pTree = new CFolderTree(this);
    pTree->setHeaderHidden(true);
    pTree->setColumnCount(1);
    pTree->setUniformRowHeights(true);
    pTree->setSelectionMode(QAbstractItemView::SingleSelection);
    pTree->setContextMenuPolicy(Qt::CustomContextMenu);
    pTree->setIconSize(QSize(16, 16));
    pTree->setMinimumSize(Units().X(203), Units().Y(120));
    BindControl(IDC_TREE, pTree);
    QLabel* pStatus = MakeStatic(IDC_STATUS, "");
    pStatus->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred); // a long path is cut
    MakeButton(IDC_OK, "OK")->setDefault(true);
    MakeButton(IDC_CANCEL, "ｷｬﾝｾﾙ");
    MakeButton(IDC_DRIVE_INFO, "ﾄﾞﾗｲﾌﾞ情報")->hide();

    auto* pButtons = new QHBoxLayout;
    pButtons->addWidget(FindControl(IDC_DRIVE_INFO));
    pButtons->addStretch(1);
    pButtons->addWidget(FindControl(IDC_OK));
    pButtons->addWidget(FindControl(IDC_CANCEL));
    auto* pMain = new QVBoxLayout(this);
    ApplyTemplateMargins(pMain);
    pMain->addWidget(pTree, 1);
    pMain->addWidget(pStatus);
    pMain->addLayout(pButtons);
    resize(QSize(Units().X(217), Units().Y(169)).expandedTo(pMain->totalSizeHint()));
}

// Bitmap 131: seven 16 x 16 pictures side by side, magenta for clear.
void CFolderSelectDlg::LoadImages() {
    const QPixmap strip(QString::fromUtf8(kTreeImagesResource));
    for (int i = 0; i < IMG_COUNT; ++i) {
        QPixmap image = strip.copy(16 * i, 0, 16, 16);
        image.setMask(image.createMaskFromColor(QColor(255, 0, 255)));
        m_aImages[i] = QIcon(image);
    }
    m_folderIcon = QIcon();
    m_folderIcon.addPixmap(m_aImages[IMG_FOLDER].pixmap(16, 16), QIcon::Normal);
    m_folderIcon.addPixmap(m_aImages[IMG_FOLDER_OPEN].pixmap(16, 16), QIcon::Selected);
}

QTreeWidget* CFolderSelectDlg::Tree() const {
    return Control<QTreeWidget>(IDC_TREE);
}

void CFolderSelectDlg::OnInitDialog() {
    if (!m_strTitle.empty())
        setWindowTitle(QStr(m_strTitle));
    LoadImages();
    AddDrives();
    if (m_nSelectInitial == 1)
        SelectPath(m_strInitialPath, 1);
    Tree()->setFocus();
}

void CFolderSelectDlg::done(int answer) {
    m_pWatch->UnwatchAll();
    m_mapWatched.clear();
    CDialogBase::done(answer);
}

void CFolderSelectDlg::AddDrives() {
    // Media the desktop mounted since the last look get their letters first.
    AssignRemovableLetters(RemovableMediaMounts(), AppProfilePath());
    CHostServices& services = CHostServices::Get();
    for (char letter : services.DriveMap().Letters()) {
        const int k = letter - 'A';
        const std::optional<CVolumeFacts> facts = services.Volumes().Query(letter);
        m_aDriveTypes[k] = facts ? facts->driveType : DRIVE_UNKNOWN;
        int image = IMG_FIXED;
        bool bAlwaysDummy = false;
        switch (m_aDriveTypes[k]) {
        case DRIVE_REMOVABLE:
            image = IMG_REMOVABLE;
            bAlwaysDummy = true;
            m_media.Remember(k, CMediumTracker::kNone);
            break;
        case DRIVE_CDROM:
            image = IMG_CDROM;
            bAlwaysDummy = true;
            m_media.Remember(k, facts->mediumPresent ? facts->serialNumber : CMediumTracker::kNone);
            break;
        case DRIVE_FIXED:
            break;
        case DRIVE_REMOTE:
            image = IMG_REMOTE;
            break;
        case DRIVE_RAMDISK:
            image = IMG_RAMDISK;
            break;
        default:
            continue; // no drive behind the letter, or of no known kind
        }
        const std::string root = std::string(1, letter) + ":\\";
        auto* pItem = new QTreeWidgetItem(QStringList(QStr(root)));
        pItem->setIcon(0, m_aImages[image]);
        Tree()->addTopLevelItem(pItem);
        if (bAlwaysDummy)
            AddDummy(pItem);
        else
            WatchAndMark(pItem, root);
    }
}

std::string CFolderSelectDlg::GetItemPath(const QTreeWidgetItem* pItem) const {
    std::vector<std::string> texts;
    for (; pItem; pItem = pItem->parent())
        texts.push_back(TextOf(pItem));
    std::reverse(texts.begin(), texts.end());
    return JoinItemTexts(texts);
}

bool CFolderSelectDlg::HasSubfolders(const std::string& path) {
    return HasSubfolder(path);
}

bool CFolderSelectDlg::IsFolderPath(const std::string& path) {
    return path.size() == 3 || IsExistingFolder(path);
}

uint32_t CFolderSelectDlg::DriveTypeOf(const std::string& path) const {
    const int k = DriveIndex(path);
    return k < 0 ? DRIVE_UNKNOWN : m_aDriveTypes[k];
}

bool CFolderSelectDlg::IsWatchedDrive(const std::string& path) const {
    const uint32_t type = DriveTypeOf(path);
    return type == DRIVE_FIXED || type == DRIVE_REMOTE || type == DRIVE_RAMDISK;
}

bool CFolderSelectDlg::IsMediumUnchanged(const std::string& path) {
    const uint32_t type = DriveTypeOf(path);
    if (type != DRIVE_REMOVABLE && type != DRIVE_CDROM)
        return true;
    const int k = DriveIndex(path);
    const std::optional<CVolumeFacts> facts =
        CHostServices::Get().Volumes().Query(static_cast<char>('A' + k));
    return m_media.Unchanged(k, facts && facts->mediumPresent ? std::optional(facts->serialNumber)
                                                              : std::nullopt);
}

void CFolderSelectDlg::WatchItem(QTreeWidgetItem* pItem, const std::string& path) {
    if (IsWatchedDrive(path) && m_pWatch->Watch(path))
        m_mapWatched[path] = pItem;
}

void CFolderSelectDlg::UnwatchBelow(const std::string& path, bool bSelfToo) {
    std::string prefix = path;
    if (prefix.empty() || prefix.back() != '\\')
        prefix += '\\';
    auto it = m_mapWatched.lower_bound(prefix);
    while (it != m_mapWatched.end() && it->first.compare(0, prefix.size(), prefix) == 0) {
        if (it->first == path) { // a drive root is its own prefix
            ++it;
            continue;
        }
        m_pWatch->Unwatch(it->first);
        it = m_mapWatched.erase(it);
    }
    if (bSelfToo && m_mapWatched.erase(path))
        m_pWatch->Unwatch(path);
}

void CFolderSelectDlg::AddDummy(QTreeWidgetItem* pItem) {
    auto* pDummy = new QTreeWidgetItem(QStringList(QString()));
    pDummy->setIcon(0, m_aImages[IMG_FIXED]);
    pItem->addChild(pDummy);
}

void CFolderSelectDlg::DeleteChildren(QTreeWidgetItem* pItem) {
    const CQuiet quiet(m_nQuiet);
    UnwatchBelow(GetItemPath(pItem), false);
    qDeleteAll(pItem->takeChildren());
}

void CFolderSelectDlg::DeleteItem(QTreeWidgetItem* pItem) {
    const CQuiet quiet(m_nQuiet);
    UnwatchBelow(GetItemPath(pItem), true);
    delete pItem;
}

void CFolderSelectDlg::SetExpandedQuietly(QTreeWidgetItem* pItem, bool bExpanded) {
    const CQuiet quiet(m_nQuiet);
    pItem->setExpanded(bExpanded);
}

// The drive is collapsed to its dummy child. A selection inside it goes to
// the drive item, so what the tree shows and the result agree.
void CFolderSelectDlg::ResetDriveItem(QTreeWidgetItem* pItem) {
    const bool bSelectionInside = IsBelow(Tree()->currentItem(), pItem);
    SetExpandedQuietly(pItem, false);
    DeleteChildren(pItem);
    AddDummy(pItem);
    if (bSelectionInside)
        Tree()->setCurrentItem(pItem);
}

QTreeWidgetItem* CFolderSelectDlg::MakeFolderItem(const std::string& name) {
    auto* pItem = new QTreeWidgetItem(QStringList(QStr(name)));
    pItem->setIcon(0, m_folderIcon);
    return pItem;
}

// The watch comes before the look for subfolders: a subfolder made in
// between is then reported rather than missed.
void CFolderSelectDlg::WatchAndMark(QTreeWidgetItem* pItem, const std::string& path) {
    WatchItem(pItem, path);
    if (HasSubfolders(path))
        AddDummy(pItem);
}

QTreeWidgetItem* CFolderSelectDlg::InsertFolderItem(QTreeWidgetItem* pParent,
                                                    const std::string& name) {
    QTreeWidgetItem* pItem = MakeFolderItem(name);
    int lo = 0;
    int hi = pParent->childCount();
    while (lo < hi) { // children stand in the tree's order
        const int mid = (lo + hi) / 2;
        if (FolderNameLess(TextOf(pParent->child(mid)), name))
            lo = mid + 1;
        else
            hi = mid;
    }
    pParent->insertChild(lo, pItem);
    WatchAndMark(pItem, JoinItemTexts({GetItemPath(pParent), name}));
    return pItem;
}

int CFolderSelectDlg::FillChildren(QTreeWidgetItem* pItem, const std::string& path) {
    std::vector<std::string> names;
    if (ListFolderNames(path, names) != 0) {
        if (!pItem->parent())
            AddDummy(pItem);
        return 0;
    }
    std::sort(names.begin(), names.end(), FolderNameLess);
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names)
        items << MakeFolderItem(name);
    for (size_t i = 0; i < names.size(); ++i)
        WatchAndMark(items[static_cast<qsizetype>(i)], JoinItemTexts({path, names[i]}));
    pItem->addChildren(items); // in one go: one layout of the view
    return static_cast<int>(names.size());
}

void CFolderSelectDlg::OnItemExpanding(QTreeWidgetItem* pItem, bool bExpanding) {
    if (m_nQuiet > 0)
        return;
    const std::string path = GetItemPath(pItem);
    if (!IsMediumUnchanged(path)) {
        ResetDriveItem(TopOf(pItem));
        return;
    }
    if (!IsFolderPath(path)) {
        DeleteItem(pItem);
        return;
    }
    if (bExpanding) {
        DeleteChildren(pItem);
        if (FillChildren(pItem, path) == 0)
            SetExpandedQuietly(pItem, false);
        return;
    }
    const bool bSelectionInside = IsBelow(Tree()->currentItem(), pItem);
    DeleteChildren(pItem);
    if (!pItem->parent() || HasSubfolders(path))
        AddDummy(pItem);
    if (bSelectionInside) // the collapsed item takes the selection
        Tree()->setCurrentItem(pItem);
}

void CFolderSelectDlg::OnSelChanged() {
    const QList<QTreeWidgetItem*> selected = Tree()->selectedItems();
    if (m_nQuiet > 0 || selected.isEmpty())
        return;
    QTreeWidgetItem* pItem = selected.front();
    const std::string path = GetItemPath(pItem);
    if (IsMediumUnchanged(path)) {
        if (!IsFolderPath(path)) {
            DeleteItem(pItem); // the result keeps what it was
            return;
        }
        if (!(pItem->isExpanded() && pItem->childCount() > 0))
            RefreshChildMarker(pItem, path);
        else if (DriveTypeOf(path) == DRIVE_REMOTE)
            RefreshSubtree(pItem); // network mounts may send no notices
    } else {
        QTreeWidgetItem* pDrive = TopOf(pItem);
        ResetDriveItem(pDrive);
        if (pDrive != pItem)
            return; // the drive item took the selection and the result
    }
    m_strResultPath = path;
    if (m_strResultPath.back() != '\\')
        m_strResultPath += '\\';
    Control<QLabel>(IDC_STATUS)->setText(QStr(path));
}

void CFolderSelectDlg::RefreshChildMarker(QTreeWidgetItem* pItem, const std::string& path) {
    const bool bHas = HasSubfolders(path);
    if (bHas && pItem->childCount() == 0)
        AddDummy(pItem);
    else if (!bHas && pItem->childCount() > 0)
        DeleteChildren(pItem);
}

void CFolderSelectDlg::RefreshFolder(QTreeWidgetItem* pItem) {
    const std::string path = GetItemPath(pItem);
    if (!pItem->isExpanded() || pItem->childCount() == 0) {
        if (pItem->parent()) {
            RefreshChildMarker(pItem, path);
            SetExpandedQuietly(pItem, false);
        } else if (pItem->childCount() == 0 && HasSubfolders(path)) {
            AddDummy(pItem); // a drive keeps its dummy; an empty one may gain it
        }
        return;
    }
    std::vector<std::string> onDisk;
    ListFolderNames(path, onDisk); // unreadable: every child goes
    std::vector<std::string> shown;
    for (int i = 0; i < pItem->childCount(); ++i)
        shown.push_back(TextOf(pItem->child(i)));
    const CChildChanges changes = DiffChildren(shown, onDisk);
    for (const std::string& name : changes.aRemoved) {
        for (int i = 0; i < pItem->childCount(); ++i) {
            if (TextOf(pItem->child(i)) == name) {
                DeleteItem(pItem->child(i));
                break;
            }
        }
    }
    for (const std::string& name : changes.aAdded)
        InsertFolderItem(pItem, name);
}

void CFolderSelectDlg::RefreshSubtree(QTreeWidgetItem* pItem) {
    RefreshFolder(pItem);
    if (!pItem->isExpanded())
        return;
    for (int i = 0; i < pItem->childCount(); ++i)
        RefreshSubtree(pItem->child(i));
}

void CFolderSelectDlg::OnFoldersChanged(const QStringList& folders) {
    for (const QString& folder : folders) { // a folder before those below it
        const auto it = m_mapWatched.find(StdStr(folder));
        if (it == m_mapWatched.end())
            continue; // gone with a folder above it
        QTreeWidgetItem* pItem = it->second;
        if (pItem->parent() && !IsFolderPath(it->first))
            DeleteItem(pItem);
        else
            RefreshFolder(pItem);
    }
}

int CFolderSelectDlg::SelectPath(const std::string& path, int select) {
    const std::optional<CSelectSteps> steps = SplitSelectPath(path);
    if (!steps)
        return 0;
    QTreeWidget* pTree = Tree();
    QTreeWidgetItem* pItem = nullptr;
    for (int i = 0; i < pTree->topLevelItemCount() && !pItem; ++i)
        if (EqualsIgnoringCase(TextOf(pTree->topLevelItem(i)), steps->strRoot))
            pItem = pTree->topLevelItem(i);
    // Expanding reads the children; it may also find the folder gone and
    // delete its item, which the persistent index tells.
    auto expand = [pTree](QTreeWidgetItem* pExpand) -> QTreeWidgetItem* {
        const QPersistentModelIndex index(pTree->indexFromItem(pExpand));
        pExpand->setExpanded(true);
        return index.isValid() ? pTree->itemFromIndex(index) : nullptr;
    };
    for (size_t step = 0; pItem && step < steps->aNames.size(); ++step) {
        pItem = expand(pItem);
        QTreeWidgetItem* pMatch = nullptr;
        for (int i = 0; pItem && i < pItem->childCount() && !pMatch; ++i)
            if (EqualsIgnoringCase(TextOf(pItem->child(i)), steps->aNames[step]))
                pMatch = pItem->child(i);
        pItem = pMatch;
    }
    if (!pItem || !(pItem = expand(pItem)))
        return 0;
    if (select) {
        pTree->setCurrentItem(pItem);
        pTree->scrollToItem(pItem);
    }
    return 1;
}

QMenu* CFolderSelectDlg::CreateItemMenu(QTreeWidgetItem* pItem) {
    auto* pMenu = new QMenu(this);
    if (!pItem->parent()) {
        const std::string root = GetItemPath(pItem);
        pMenu->addAction(QStr(kDriveInfoMenu), this, [this, root] {
            CDriveInfoDlg dlg(root, this);
            dlg.DoModal();
        });
    }
    pMenu->addAction(QStr(kDriveLettersMenu), this, [this] { OnDriveLetters(); });
    return pMenu;
}

void CFolderSelectDlg::OnDriveInfo() {
    CDriveInfoDlg dlg(m_strResultPath, this);
    dlg.DoModal();
}

// New letters change the drives: the tree is built again and the folder
// chosen so far found again.
void CFolderSelectDlg::OnDriveLetters() {
    CDriveLettersDlg dlg(this);
    if (dlg.DoModal() != CDriveLettersDlg::IDC_OK)
        return;
    while (Tree()->topLevelItemCount() > 0)
        DeleteItem(Tree()->topLevelItem(0));
    AddDrives();
    SelectPath(m_strResultPath.empty() ? m_strInitialPath : m_strResultPath, 1);
}
