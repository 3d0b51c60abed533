#include "platform/FolderWatch.h"

#include "platform/FileSystem.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <climits>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

// Gathering window for a burst of notices (an unpacked archive makes
// hundreds of folders at once); far below what a user notices.
constexpr int kGatherMs = 30;

constexpr uint32_t kChildEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
constexpr uint32_t kSelfEvents = IN_DELETE_SELF | IN_MOVE_SELF;

} // namespace

CFolderWatch::CFolderWatch(size_t maxWatches, QObject* parent)
    : QObject(parent), m_nMaxWatches(maxWatches) {
    m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0)
        return; // no notices: Watch fails, the caller lives without them
    m_pNotifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_pNotifier, &QSocketNotifier::activated, this, [this] { ReadEvents(); });
    m_pFlushTimer = new QTimer(this);
    m_pFlushTimer->setSingleShot(true);
    m_pFlushTimer->setInterval(kGatherMs);
    connect(m_pFlushTimer, &QTimer::timeout, this, [this] { Flush(); });
}

CFolderWatch::~CFolderWatch() {
    delete m_pNotifier; // before its descriptor goes
    if (m_fd >= 0)
        close(m_fd); // ends every watch of the instance
}

bool CFolderWatch::Watch(const std::string& folder) {
    if (m_mapWatch.count(folder))
        return true;
    if (m_fd < 0 || m_bLimitReached)
        return false;
    const std::string host = HostPathOf(folder);
    if (host.empty())
        return false;
    if (m_mapPaths.size() >= m_nMaxWatches) {
        m_bLimitReached = true;
        return false;
    }
    const int wd = inotify_add_watch(m_fd, host.c_str(), kChildEvents | kSelfEvents | IN_ONLYDIR);
    if (wd < 0) {
        if (errno == ENOSPC)
            m_bLimitReached = true; // the user's allowance is used up
        return false;
    }
    m_mapWatch[folder] = wd;
    m_mapPaths[wd].insert(folder);
    return true;
}

void CFolderWatch::Unwatch(const std::string& name) {
    const auto it = m_mapWatch.find(name);
    if (it == m_mapWatch.end())
        return;
    const std::string folder = name; // the name may be the key erased next
    const int wd = it->second;
    m_mapWatch.erase(it);
    m_setPending.erase(folder);
    std::set<std::string>& paths = m_mapPaths[wd];
    paths.erase(folder);
    if (!paths.empty())
        return; // another path names the same folder
    m_mapPaths.erase(wd);
    inotify_rm_watch(m_fd, wd);
    m_bLimitReached = false; // a watch came free: the next one may fit
}

void CFolderWatch::UnwatchAll() {
    while (!m_mapWatch.empty())
        Unwatch(m_mapWatch.begin()->first);
}

void CFolderWatch::ReadEvents() {
    alignas(inotify_event) char buffer[16 * (sizeof(inotify_event) + NAME_MAX + 1)];
    for (;;) {
        const ssize_t n = read(m_fd, buffer, sizeof buffer);
        if (n <= 0)
            break; // EAGAIN: all read
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                // Notices were lost: every watched folder may have changed.
                for (const auto& entry : m_mapWatch)
                    m_setPending.insert(entry.first);
                m_pFlushTimer->start();
                continue;
            }
            const auto it = m_mapPaths.find(event->wd);
            if (it == m_mapPaths.end())
                continue; // a watch given up while its notice was on the way
            if (event->mask & IN_IGNORED) {
                // The folder went (or its file system): the system dropped
                // the watch, so it is forgotten here too.
                for (const std::string& path : it->second)
                    m_mapWatch.erase(path);
                m_mapPaths.erase(it);
                continue;
            }
            const bool childFolder = (event->mask & kChildEvents) && (event->mask & IN_ISDIR);
            if (childFolder || (event->mask & kSelfEvents)) {
                m_setPending.insert(it->second.begin(), it->second.end());
                if (!m_pFlushTimer->isActive())
                    m_pFlushTimer->start();
            }
        }
    }
}

void CFolderWatch::Flush() {
    QStringList folders;
    for (const std::string& path : m_setPending)
        folders << QString::fromStdString(path);
    m_setPending.clear();
    if (!folders.isEmpty())
        emit FoldersChanged(folders);
}
