#include "support/HostPrivileges.h"

#include <QDir>

#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

bool GetCaps(__user_cap_header_struct& header, __user_cap_data_struct (&data)[2]) {
    header = {_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(SYS_capget, &header, data) == 0;
}

constexpr unsigned kFileOverrides =
    (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);

} // namespace

bool EnterPrivateMounts() {
    static const bool entered = unshare(CLONE_NEWNS) == 0 &&
                                mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return entered;
}

bool MountTmpfs(const std::string& at, const char* options) {
    return QDir().mkpath(QString::fromStdString(at)) &&
           mount("tidewell-test", at.c_str(), "tmpfs", 0, options) == 0;
}

bool BindMount(const std::string& from, const std::string& at) {
    return QDir().mkpath(QString::fromStdString(from)) &&
           QDir().mkpath(QString::fromStdString(at)) &&
           mount(from.c_str(), at.c_str(), nullptr, MS_BIND, nullptr) == 0;
}

void Unmount(const std::string& at) {
    umount2(at.c_str(), MNT_DETACH);
}

CScopedUserPermissions::CScopedUserPermissions() {
    __user_cap_header_struct header{};
    __user_cap_data_struct data[2]{};
    if (!GetCaps(header, data))
        return;
    m_nSavedEffective = data[0].effective;
    data[0].effective &= ~kFileOverrides;
    m_bChanged = syscall(SYS_capset, &header, data) == 0;
}

CScopedUserPermissions::~CScopedUserPermissions() {
    __user_cap_header_struct header{};
    __user_cap_data_struct data[2]{};
    if (!m_bChanged || !GetCaps(header, data))
        return;
    data[0].effective = m_nSavedEffective;
    syscall(SYS_capset, &header, data);
}
