#pragma once
// A temporary folder tree behind a drive letter for its life (the old drive map returns after).

#include "platform/DriveMap.h"

#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <string>
#include <vector>

// A folder ("sub/", ending in "/") or a file with bytes; mtime 0 keeps the time of creation.
struct CTreeItem {
    std::string path; // relative, "/"-separated
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

    // Host folder without a trailing "/"; "T:\" and "T:\sub\b.txt" for "sub/b.txt".
    std::string HostRoot() const { return m_strHostRoot; }
    std::string DriveRoot() const { return std::string(1, m_cLetter) + ":\\"; }
    std::string DrivePath(const std::string& relative) const;
    std::string HostPath(const std::string& relative) const;

    bool Build(const std::vector<CTreeItem>& items); // parents as needed
    bool AddFolder(const std::string& relative);
    bool AddFile(const std::string& relative, const std::string& bytes, int64_t mtime = 0);
    bool AddSymlink(const std::string& relative, const std::string& hostTarget);
    bool SetMode(const std::string& relative, unsigned mode);
    bool SetTime(const std::string& relative, int64_t mtime);

    bool Exists(const std::string& relative) const;
    std::string Bytes(const std::string& relative) const; // empty when unreadable
    // Folders first (with a final "/"), by name, files with bytes and mtime; a link as "-> target".
    std::vector<CTreeItem> Read(const std::string& relative = {}) const;
    // Read on one line without times: "sub/ sub/b.txt=bytes link=-> target".
    QString Listing(const std::string& relative = {}) const;
    static std::vector<CTreeItem> WithoutTimes(std::vector<CTreeItem> items);

private:
    QTemporaryDir m_dir;
    char m_cLetter;
    std::string m_strHostRoot;
    CDriveMap m_savedDriveMap;
};

// Printable form of a tree description for failure messages.
std::string DescribeTree(const std::vector<CTreeItem>& items);
