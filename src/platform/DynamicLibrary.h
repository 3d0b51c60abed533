#pragma once
// Loading a shared library at run time (dlopen/dlsym/dlclose). The only
// place above which nothing calls the dynamic loader directly.

#include <string>

class CDynamicLibrary {
public:
    CDynamicLibrary() = default;
    ~CDynamicLibrary(); // unloads
    CDynamicLibrary(const CDynamicLibrary&) = delete;
    CDynamicLibrary& operator=(const CDynamicLibrary&) = delete;

    // Loads the library by path when the name holds a "/"; a bare name is
    // looked for beside the executable first, then in the program's private
    // library folder of an install, then by the ordinary search
    // (LD_LIBRARY_PATH, the system folders). When a library is already held,
    // it is kept and true returned. False when it cannot be loaded; LastError
    // then says why.
    bool Load(const std::string& name);

    // Address of an exported symbol, or null when absent or nothing loaded.
    void* Symbol(const std::string& name) const;

    // Unloads the library if one is held; no effect otherwise.
    void Unload();

    bool IsLoaded() const { return m_pHandle != nullptr; }
    const std::string& LastError() const { return m_strError; }

private:
    void* m_pHandle = nullptr;
    std::string m_strError;
};
