#include "platform/DynamicLibrary.h"

#include "platform/HostServices.h"

#include <dlfcn.h>
#include <vector>

CDynamicLibrary::~CDynamicLibrary() {
    Unload();
}

bool CDynamicLibrary::Load(const std::string& name) {
    if (m_pHandle != nullptr)
        return true;
    std::vector<std::string> candidates;
    if (name.find('/') == std::string::npos) {
        candidates.push_back(HostExecutableFolder() + name);
#ifdef TIDEWELL_PRIVATE_LIBDIR
        candidates.push_back(TIDEWELL_PRIVATE_LIBDIR "/" + name);
#endif
    }
    candidates.push_back(name);
    for (const std::string& candidate : candidates) {
        // RTLD_LOCAL keeps the library's symbols from resolving anyone else's.
        m_pHandle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (m_pHandle != nullptr)
            break;
    }
    if (m_pHandle == nullptr) {
        const char* why = dlerror();
        m_strError = why != nullptr ? why : "";
        return false;
    }
    m_strError.clear();
    return true;
}

void* CDynamicLibrary::Symbol(const std::string& name) const {
    if (m_pHandle == nullptr)
        return nullptr;
    return dlsym(m_pHandle, name.c_str());
}

void CDynamicLibrary::Unload() {
    if (m_pHandle != nullptr) {
        dlclose(m_pHandle);
        m_pHandle = nullptr;
    }
}
