#pragma once
// Live notice of folders being made, removed or renamed, for the folders a
// window shows. The system has no notice for a whole tree, so each folder
// is watched on its own (inotify); the caller adds and drops folders as
// they come into view and leave it. Everything runs on the thread that owns
// the object, through its event loop: there is no thread to stop, and the
// object's end ends every watch.
//
// Only changes of subfolders count (made, removed, renamed in or out of a
// watched folder), and the watched folder's own removal or renaming; files
// coming and going are ignored. File systems that send no notices (most
// network mounts) simply stay quiet.

#include <QObject>
#include <QStringList>

#include <map>
#include <set>
#include <string>

class QSocketNotifier;
class QTimer;

class CFolderWatch : public QObject {
    Q_OBJECT

public:
    // maxWatches caps the system watches this object holds, so one window
    // cannot use up the user's whole allowance (other programs need theirs).
    explicit CFolderWatch(size_t maxWatches = 8192, QObject* parent = nullptr);
    ~CFolderWatch() override;
    CFolderWatch(const CFolderWatch&) = delete;
    CFolderWatch& operator=(const CFolderWatch&) = delete;

    // Watches a folder (drive-letter path, as the caller will name it when
    // giving it up). True when it is watched (a second call for the same
    // path changes nothing); false when it cannot be: no such folder, no
    // notices on this system, or the cap or the system's limit of watches
    // reached (LimitReached() is then true, and every later call fails at
    // once until a watch is given up). Two paths that name one folder share
    // one system watch.
    bool Watch(const std::string& folder);
    // Gives up the watch of a path; unknown paths are ignored.
    void Unwatch(const std::string& folder);
    void UnwatchAll();

    bool IsWatched(const std::string& folder) const { return m_mapWatch.count(folder) != 0; }
    // System watches held (paths naming one folder count once).
    size_t WatchCount() const { return m_mapPaths.size(); }
    bool LimitReached() const { return m_bLimitReached; }

signals:
    // Watched paths whose subfolders changed, or that were removed or
    // renamed themselves. Notices arriving close together are gathered:
    // each path comes once per burst, a few milliseconds after its first
    // notice.
    void FoldersChanged(const QStringList& folders);

private:
    void ReadEvents();
    void Flush();

    int m_fd = -1;
    size_t m_nMaxWatches;
    bool m_bLimitReached = false;
    QSocketNotifier* m_pNotifier = nullptr;
    QTimer* m_pFlushTimer = nullptr;
    std::map<std::string, int> m_mapWatch;           // path -> watch descriptor
    std::map<int, std::set<std::string>> m_mapPaths; // watch descriptor -> paths
    std::set<std::string> m_setPending;              // changed paths not yet reported
};
