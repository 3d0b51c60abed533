#pragma once
// Where the settings files, the profile and the log live. A copy of the
// program in a folder of its own (a build, a USB stick) keeps them beside
// itself; an installed program, whose folder the user cannot write, keeps
// them in the user's configuration folder. A folder named explicitly wins
// over both.

#include <string>

struct CProgramFolderChoice {
    std::string hostFolder; // with one trailing "/"; empty when refused
    std::string error;      // why it was refused, for the user
};

// In order: `explicitFolder` (the --folder option, empty when not given),
// the environment variable TIDEWELL_FOLDER, the executable's folder when the
// user may write to it, else $XDG_CONFIG_HOME/tidewell (~/.config/tidewell),
// created with mode 0700. A named folder must exist.
CProgramFolderChoice ChooseProgramFolder(const std::string& explicitFolder);

// Whether the user running the program may write into the host folder,
// judged from its mode bits as for a user without privileges (a test or a
// package build running as root would otherwise write anywhere), and false
// on a read-only mount.
bool IsFolderWritableByUser(const std::string& hostFolder);
