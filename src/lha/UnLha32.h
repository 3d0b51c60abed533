#pragma once
// The wrapper around the outside LZH archiver library ("libunlha32.so"),
// loaded at run time only when it is needed. Failures to load it or to find
// an entry point are thrown as CUnLha32Exception; the archiver's own results
// are returned as plain values.

#include "platform/DynamicLibrary.h"

#include <cstdint>
#include <exception>
#include <string>

// The library's file name, found by the ordinary library search (the
// program's folder first, through the executable's RUNPATH $ORIGIN).
inline constexpr const char* kLhaLibraryName = "libunlha32.so";

enum : int {
    LHA_ERROR_DLL_NOT_FOUND = 0x802E, // 32814: the library is missing or cannot be loaded
    LHA_ERROR_NO_FUNCTION = 0x802F,   // 32815: an entry point is missing
};

// Thrown by value and caught by reference (it owns nothing that needs a
// delete, so a catcher cannot leak it).
class CUnLha32Exception : public std::exception {
public:
    CUnLha32Exception(std::string message, std::string step, int32_t code)
        : m_strMessage(std::move(message)), m_strStep(std::move(step)), m_nCode(code) {}
    const char* what() const noexcept override { return m_strMessage.c_str(); }

    std::string m_strMessage; // the table text for the code (LhaErrorText), UTF-8
    std::string m_strStep;    // "LoadLhaDll" or "GetFuncAddress"; empty if none
    int32_t m_nCode;          // the archiver error code
};

// The fixed message for an archiver error code (UTF-8); "未知のエラーです．"
// for a code that is not in the table.
std::string LhaErrorText(int32_t code);

// Throws a CUnLha32Exception with the code, its table text and the step
// (empty when none is given).
[[noreturn]] void ThrowLhaError(int32_t code, const std::string& step = std::string());

// True when the library can be loaded; it is unloaded again at once. Never
// throws. libraryName lets tests point at another file.
bool IsLhaDllAvailable(const std::string& libraryName = kLhaLibraryName);

// A library version (major * 100 + minor) as the version dialog shows it:
// "Ver %d.%2d", the minor part padded with a blank (100 gives "Ver 1. 0");
// "取得不可" for 0, which the library reports when it cannot tell.
std::string LhaVersionText(uint16_t version);

// The version text of the library: "DLLなし" when it cannot be loaded,
// "取得不可" when it lacks UnlhaGetVersion or reports 0, else LhaVersionText.
// Never throws and leaves the library unloaded.
std::string LhaDllVersionText(const std::string& libraryName = kLhaLibraryName);

class CUnLha32 {
public:
    explicit CUnLha32(std::string libraryName = kLhaLibraryName);
    ~CUnLha32(); // FreeLhaDll
    CUnLha32(const CUnLha32&) = delete;
    CUnLha32& operator=(const CUnLha32&) = delete;

    // Loads the library unless it is already held. Throws code 0x802E with
    // step "LoadLhaDll" when it cannot be loaded.
    void LoadLhaDll();

    // Loads the library if needed and looks the entry point up again (no
    // caching). Throws code 0x802F with step "GetFuncAddress" when absent.
    void* GetFuncAddress(const std::string& name);

    // UnlhaGetVersion's result unchanged (major * 100 + minor). Throws as
    // above.
    uint16_t GetLhaVersion();

    // Unlha with the four arguments unchanged; its result is returned as it
    // is (0 success, else an archiver code). Throws as above.
    int32_t CallUnlha(void* hwnd, const std::string& cmdLine, char* output, uint32_t outputSize);

    // Unloads the library if it is held.
    void FreeLhaDll();

    bool IsLoaded() const { return m_library.IsLoaded(); }

private:
    std::string m_strLibraryName;
    CDynamicLibrary m_library;
};
