#pragma once
// Mounts private to the test process, and root meeting the permission checks a user meets.

#include <QTest>

#include <string>

// Moves the process into a private mount namespace once; false where forbidden.
bool EnterPrivateMounts();
#define SKIP_WITHOUT_PRIVATE_MOUNTS()                                                              \
    if (!EnterPrivateMounts())                                                                     \
    QSKIP("no private mount namespace here (needs CAP_SYS_ADMIN)")

// Mounts a tmpfs at, or binds from at, the host folder at (made as needed).
bool MountTmpfs(const std::string& at, const char* options = "size=4m");
bool BindMount(const std::string& from, const std::string& at);
void Unmount(const std::string& at);

// While it lives, root lacks the capabilities to read or change any file.
class CScopedUserPermissions {
public:
    CScopedUserPermissions();
    ~CScopedUserPermissions();
    CScopedUserPermissions(const CScopedUserPermissions&) = delete;
    CScopedUserPermissions& operator=(const CScopedUserPermissions&) = delete;

private:
    unsigned m_nSavedEffective = 0;
    bool m_bChanged = false;
};
