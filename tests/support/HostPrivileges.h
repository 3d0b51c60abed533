#pragma once
// Host conditions some tests need: mounts that stay private to the test
// process, and a root test meeting the permission checks a user meets.

#include <QTest>

#include <string>

// Moves the process into a private mount namespace once; false where the
// machine forbids it.
bool EnterPrivateMounts();
#define SKIP_WITHOUT_PRIVATE_MOUNTS()                                                              \
    if (!EnterPrivateMounts())                                                                     \
    QSKIP("no private mount namespace here (needs CAP_SYS_ADMIN)")

// Mounts a tmpfs at, or binds from at, the host folder at (made as needed).
bool MountTmpfs(const std::string& at, const char* options = "size=4m");
bool BindMount(const std::string& from, const std::string& at);
void Unmount(const std::string& at);

// While it lives, the process lacks the capabilities that let root read or
// change any file, so a folder of mode 000 cannot be listed.
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
