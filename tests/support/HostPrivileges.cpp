#include "support/HostPrivileges.h"

#include <cerrno>
#include <cstring>
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

bool EnterPrivateMounts(std::string& reason) {
    static int state = 0; // 0 not tried, 1 entered, -1 refused
    static std::string why;
    if (state == 0) {
        if (unshare(CLONE_NEWNS) != 0)
            why = std::string("unshare(CLONE_NEWNS): ") + std::strerror(errno);
        else if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            why = std::string("making mounts private: ") + std::strerror(errno);
        state = why.empty() ? 1 : -1;
    }
    reason = why;
    return state == 1;
}

bool MountTmpfs(const std::string& at) {
    return mount("tidewell-test", at.c_str(), "tmpfs", 0, "size=4m") == 0;
}

bool BindMount(const std::string& from, const std::string& at) {
    return mount(from.c_str(), at.c_str(), nullptr, MS_BIND, nullptr) == 0;
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
