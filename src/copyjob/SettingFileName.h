#pragma once
// Where a saved setting lives: "<name>.def" in the program folder. Every
// part of the program that turns a settings name into a file, or a file back
// into a name, goes through here.

#include <optional>
#include <string>

inline constexpr char kSettingFileExtension[] = ".def";

// Program folder + name + ".def"; the empty name gives the file ".def".
std::string SettingFilePath(const std::string& name);

// The settings name of a file name ending exactly in ".def" ("X.DEF" is
// another file here and never opens as a setting); nullopt otherwise.
std::optional<std::string> SettingNameOfFile(const std::string& fileName);
