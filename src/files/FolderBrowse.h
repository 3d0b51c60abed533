#pragma once
// The folder tree's arithmetic, apart from its widgets: item texts joined
// into paths, the tree's sorted order, the walk to an initial path, what a
// refresh adds and removes, and the media remembered per drive.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The path of a tree item from its texts, drive item first ("D:\", "Data",
// "Sub" -> "D:\Data\Sub"): a "\" between two texts unless the upper one
// ends with one. A drive item alone gives its root.
std::string JoinItemTexts(const std::vector<std::string>& texts);

// The tree's alphabetical order of folder names: ASCII letters without
// regard to case, then byte order (so "a" and "A" keep a fixed order).
bool FolderNameLess(const std::string& a, const std::string& b);

// The walk of a path to select: the drive root (its first three
// characters, "/" read as "\") and the names below it, split at each "\"
// or "/" ("D:\Data\Sub\" -> "D:\", {"Data", "Sub"}; a doubled separator
// gives an empty name, which no item matches). nullopt for a path of two
// characters or fewer.
struct CSelectSteps {
    std::string strRoot;
    std::vector<std::string> aNames;
};
std::optional<CSelectSteps> SplitSelectPath(const std::string& path);

// What brings an expanded item's children up to date: the shown names no
// longer on disk (names compared exactly), and the names on disk not shown
// yet, in the tree's order.
struct CChildChanges {
    std::vector<std::string> aRemoved;
    std::vector<std::string> aAdded;
};
CChildChanges DiffChildren(const std::vector<std::string>& shown,
                           const std::vector<std::string>& onDisk);

// The volume serial last seen per drive (index 0 = A), to tell a changed
// medium of a removable or CD-ROM drive.
class CMediumTracker {
public:
    static constexpr uint32_t kNone = 0xFFFFFFFF; // no medium known

    CMediumTracker() { m_aSerials.fill(kNone); }
    void Remember(int drive, uint32_t serial) { m_aSerials.at(drive) = serial; }
    uint32_t Serial(int drive) const { return m_aSerials.at(drive); }
    // Takes the serial read now (nullopt: none could be read, no medium).
    // True when it is the one remembered, or none was remembered; false
    // when no medium is in, or another one. The serial read is remembered
    // either way (kNone when none could be read).
    bool Unchanged(int drive, std::optional<uint32_t> serial);

private:
    std::array<uint32_t, 26> m_aSerials{};
};
