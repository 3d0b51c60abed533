#pragma once
// A temporary folder tree behind a drive letter: the fixture of every test
// that touches files. It maps the letter to a fresh temporary folder for its
// life (the previous drive map comes back afterwards), builds folders and
// files from a short description, and reads a tree back for comparison.

#include "platform/DriveMap.h"

#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <string>
#include <vector>

// One entry of a tree description. A path ending in "/" is a folder; other
// paths are files with the given bytes. mtime 0 leaves the time of creation
// (reading back always reports the time found).
struct CTreeItem {
    std::string path; // relative, "/"-separated: "sub/b.txt", "sub/"
    std::string bytes{};
    int64_t mtime = 0;

    bool operator==(const CTreeItem& other) const = default;
};

class CTempTree {
public:
    explicit CTempTree(char letter = 'T');
    ~CTempTree();
    CTempTree(const CTempTree&) = delete;
    CTempTree& operator=(const CTempTree&) = delete;

    char Letter() const { return m_cLetter; }
    // Host folder behind the letter, without a trailing "/".
    std::string HostRoot() const { return m_strHostRoot; }
    // "T:\" and "T:\sub\b.txt" for "sub/b.txt" (a final "/" becomes "\").
    std::string DriveRoot() const { return std::string(1, m_cLetter) + ":\\"; }
    std::string DrivePath(const std::string& relative) const;
    std::string HostPath(const std::string& relative) const;

    // Creates every item (parents as needed); false when one cannot be made.
    bool Build(const std::vector<CTreeItem>& items);
    bool AddFolder(const std::string& relative);
    bool AddFile(const std::string& relative, const std::string& bytes, int64_t mtime = 0);
    bool AddSymlink(const std::string& relative, const std::string& hostTarget);
    bool SetMode(const std::string& relative, unsigned mode);
    bool SetTime(const std::string& relative, int64_t mtime);

    bool Exists(const std::string& relative) const;
    // The bytes of a file of the tree (empty when it cannot be read).
    std::string Bytes(const std::string& relative) const;
    // The tree under relative ("" for the whole tree), folders first by
    // name order with "/" at their end, each file with bytes and mtime.
    // Symbolic links are read as links: listed with bytes "-> target".
    std::vector<CTreeItem> Read(const std::string& relative = {}) const;

    // Read(relative) on one line for comparing contents: "sub/ sub/b.txt=bytes",
    // a link as "name=-> target".
    QString Listing(const std::string& relative = {}) const;

    // The items without their mtimes, for comparing contents only.
    static std::vector<CTreeItem> WithoutTimes(std::vector<CTreeItem> items);

private:
    QTemporaryDir m_dir;
    char m_cLetter;
    std::string m_strHostRoot;
    CDriveMap m_savedDriveMap; // the drive map before this tree, put back at the end
};

// Printable form of a tree description for failure messages.
std::string DescribeTree(const std::vector<CTreeItem>& items);
