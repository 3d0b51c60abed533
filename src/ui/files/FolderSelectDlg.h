#pragma once
// The folder browse dialog (template 129): a tree of the mapped drives in
// which the user picks a folder. The tree is read lazily: a folder's
// subfolders are read when it is expanded and dropped when it collapses,
// and an item whose children are unread holds one dummy child (empty text)
// for its expand button. While the dialog is open, each folder shown on a
// fixed, network or RAM-disk drive is watched, so folders made, removed or
// renamed behind the dialog's back appear, vanish or move without a click;
// removable and CD-ROM drives are instead checked for a changed medium
// whenever one of their items is selected or expanded. The chosen folder
// comes back with a trailing "\".

#include "files/FolderBrowse.h"
#include "ui/framework/DialogBase.h"

#include <QIcon>

#include <array>
#include <map>
#include <string>

class CFolderWatch;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;

class CFolderSelectDlg : public CDialogBase {
    Q_OBJECT

public:
    enum : int { IDD = 129 };
    enum : int {
        IDC_OK = 1,
        IDC_CANCEL = 2,
        IDC_DRIVE_INFO = 1000, // created hidden; the tree's menu offers the same
        IDC_TREE = 1001,
        IDC_STATUS = 1002, // the selected folder
    };
    // The images of bitmap 131, in their order in the strip.
    enum : int {
        IMG_FIXED, // also the dummy child
        IMG_REMOVABLE,
        IMG_CDROM,
        IMG_REMOTE,
        IMG_RAMDISK,
        IMG_FOLDER,
        IMG_FOLDER_OPEN,
        IMG_COUNT
    };

    // An empty title keeps the caption "ﾌｫﾙﾀﾞの参照". With selectInitial 1
    // the initial path is selected at start.
    CFolderSelectDlg(const std::string& title, const std::string& initialPath, int selectInitial,
                     QWidget* parent);
    ~CFolderSelectDlg() override;

    int DoModal() { return exec(); }
    // Ends the dialog and gives up every watch at once.
    void done(int answer) override;

    // The path of an item: "D:\" for a drive, "D:\Data\Sub" for a folder.
    std::string GetItemPath(const QTreeWidgetItem* pItem) const;
    // Expands the tree along the path (letter case ignored) and, with
    // select set, selects its item. 1 when the whole path was found; 0
    // otherwise, the tree expanded as far as the path exists.
    int SelectPath(const std::string& path, int select);
    // True when the folder has a subfolder (hidden ones count).
    static bool HasSubfolders(const std::string& path);
    // Gives a folder item a dummy child when the folder has gained a
    // subfolder, or drops its children when it has none left.
    void RefreshChildMarker(QTreeWidgetItem* pItem, const std::string& path);
    // Brings the expanded part below an item up to date with the disk:
    // vanished folders go, new ones are inserted in sorted place, and
    // collapsed items gain or lose their expand button.
    void RefreshSubtree(QTreeWidgetItem* pItem);

    QTreeWidget* Tree() const;
    // The watches held now (for the bench and the tests).
    const CFolderWatch& Watcher() const { return *m_pWatch; }
    // The tree's right-click menu for an item (the caller runs it).
    QMenu* CreateItemMenu(QTreeWidgetItem* pItem);

    std::string m_strResultPath; // always ends with "\"; empty until a selection
    std::string m_strInitialPath;
    int m_nSelectInitial;
    std::string m_strTitle;

private:
    static const CMessageEntry<CFolderSelectDlg> s_aMessageMap[];

    void BuildLayout();
    void LoadImages();
    void OnInitDialog();
    void OnOK() { EndDialog(IDC_OK); }
    void OnCancel() { EndDialog(IDC_CANCEL); }
    void AddDrives();
    void OnItemExpanding(QTreeWidgetItem* pItem, bool bExpanding);
    void OnSelChanged();
    void OnDriveInfo();
    void OnDriveLetters();
    void OnFoldersChanged(const QStringList& folders);
    // One level of RefreshSubtree: the item's own children.
    void RefreshFolder(QTreeWidgetItem* pItem);

    int FillChildren(QTreeWidgetItem* pItem, const std::string& path);
    QTreeWidgetItem* InsertFolderItem(QTreeWidgetItem* pParent, const std::string& name);
    QTreeWidgetItem* MakeFolderItem(const std::string& name);
    // Watches a folder item and gives it a dummy child when it has a subfolder.
    void WatchAndMark(QTreeWidgetItem* pItem, const std::string& path);
    void AddDummy(QTreeWidgetItem* pItem);
    void DeleteChildren(QTreeWidgetItem* pItem);
    void DeleteItem(QTreeWidgetItem* pItem);
    void ResetDriveItem(QTreeWidgetItem* pItem);
    void SetExpandedQuietly(QTreeWidgetItem* pItem, bool bExpanded);
    bool IsMediumUnchanged(const std::string& path);
    static bool IsFolderPath(const std::string& path);
    uint32_t DriveTypeOf(const std::string& path) const;
    bool IsWatchedDrive(const std::string& path) const;
    void WatchItem(QTreeWidgetItem* pItem, const std::string& path);
    // Gives up the watches of the items below path (and of path itself).
    void UnwatchBelow(const std::string& path, bool bSelfToo);

    std::array<QIcon, IMG_COUNT> m_aImages;
    QIcon m_folderIcon; // closed, open when selected
    std::array<uint32_t, 26> m_aDriveTypes{};
    CMediumTracker m_media;
    CFolderWatch* m_pWatch;
    std::map<std::string, QTreeWidgetItem*> m_mapWatched; // watched path -> its item
    int m_nQuiet = 0; // > 0 while the dialog itself expands, collapses or deletes
};
