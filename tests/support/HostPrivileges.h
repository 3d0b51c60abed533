#pragma once
// Host conditions some tests need: a mount namespace of the test's own, in
// which bind mounts and tmpfs mounts stay private to the test process, and
// a way to let a root test meet the permission checks an ordinary user meets.

#include <string>

// Moves the process into a private mount namespace once (later calls answer
// the first result). False, with the reason, where the machine forbids it;
// the caller then skips.
bool EnterPrivateMounts(std::string& reason);

// Mounts a tmpfs, or binds the host folder from, at the host folder at.
// False when the mount fails.
bool MountTmpfs(const std::string& at);
bool BindMount(const std::string& from, const std::string& at);

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
