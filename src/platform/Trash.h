#pragma once
// The Recycle Bin of this system: the desktop's trash as the freedesktop.org
// trash standard describes it, so a replaced file can be restored from any
// desktop's trash view.

#include <string>

// Moves the file, folder or symbolic link (the link, not its target) at the
// drive-letter path into the trash: the home trash ($XDG_DATA_HOME/Trash, or
// ~/.local/share/Trash; missing folders are created with mode 0700) when the
// item is on the home trash's mount, otherwise the trash at the top of the
// item's own mount ("$topdir/.Trash/$uid" where an administrator prepared
// "$topdir/.Trash", else "$topdir/.Trash-$uid"); a bind mount counts as a
// mount of its own, since nothing can be renamed across it. When the move
// into the chosen trash fails with ERROR_NOT_SAME_DEVICE the other trash is
// tried. A ".trashinfo" record with the original path and the deletion time
// (local time, from the host clock) is written first. The item is never
// deleted: it is either renamed into the trash or left where it was.
// Returns 0, or ERROR_PATH_NOT_FOUND for an unmapped drive,
// ERROR_ACCESS_DENIED for a drive's root folder, ERROR_FILE_NOT_FOUND for a
// missing item, or the error code of the step that failed (the trash record
// is then removed again).
int SendToTrash(const std::string& path);
