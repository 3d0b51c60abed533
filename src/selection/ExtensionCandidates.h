#pragma once
// The extension candidates of the copy list: the patterns "*.<extension>"
// of the files a source tree really holds, so the user composes the copy
// list by choosing among them instead of typing it.

#include <string>
#include <vector>

class CCopyJob;

// Fills aList with the patterns of the job's copy list (as they are,
// duplicates included), then walks the source tree, a folder's files before
// its subfolders, hidden folders and links to folders left out, and appends
// the pattern of each file unless an entry equal to it (letter case
// ignored) is held already (a file's pattern is "*." and everything after
// the name's last dot: "a.TXT" gives "*.TXT", "x." gives "*.", a name
// without a dot none): one pattern per extension, in the letter case
// first met. The host shows the busy display and, per folder, the folder
// searched; the idle text at the end. Between subfolders the host pumps
// its events and the job's cancel request is read (and cleared): a request
// stops the whole walk at once. 0, or 9999 when stopped so (aList then
// holds what was found so far).
int CollectExtensions(CCopyJob& job, std::vector<std::string>& aList);

// The collected entries that are not among the chosen patterns (letter
// case ignored), in their order: the candidates the dialog offers.
std::vector<std::string> CandidatePatterns(const std::vector<std::string>& aCollected,
                                           const std::vector<std::string>& aChosen);

// The copy list of the patterns: joined with "/" between them ("" for none).
std::string JoinWildList(const std::vector<std::string>& aPatterns);
