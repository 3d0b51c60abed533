#pragma once
// The folder checks made before a run (and before the extension candidates
// walk the source): the messages come in a fixed order, and the first
// failure ends the check.

#include <string>

class IRunHost;
class CCopySetting;

// The folder field a failed check is about, so the window can focus it.
enum class EFolderField { None, Source, Destination };

// 1 when either text is empty or one contains the other after upper-casing
// the letters; also 1 when the folders the two paths name are the same or
// one holds the other by identity (device and inode of each folder up to the
// root), which sees through other drive letters, symbolic links and bind
// mounts, so the clear option can never delete the source or a folder that
// holds it. A folder not made yet stands below its nearest existing one.
int FoldersOverlap(const std::string& a, const std::string& b);

// 1 when the two paths name the same folder: the same text (letter case and
// a trailing separator aside), or the same identity as above.
int FoldersAreSame(const std::string& a, const std::string& b);

// The identity checks of ValidateFolders for a run that starts without them
// (a continuous step): 0, or 1 after the same-folder or the overlap message.
// An archive run may write into its own source.
int CheckRunFolders(const CCopySetting& setting);

// 1 when the text starts with one drive character followed by ":\".
bool IsDriveForm(const std::string& path);

// Checks the setting's folders; with sourceOnly, only the source. 0 when
// acceptable; 1 when a check failed and the user was told (*failedField
// then names the field to focus, or None to leave the focus alone).
int ValidateFolders(const CCopySetting& setting, int sourceOnly, IRunHost& host,
                    EFolderField* failedField = nullptr);
