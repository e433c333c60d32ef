// Where fishtank finds its pictures: the folder given with --assets, else
// beside the program (a build folder holds a copy), else the installed
// data folder relative to the program, so any install prefix works.
#pragma once

#include <string>
#include <vector>

namespace fishtank {

// The folder of the running program ("." when the system does not say).
std::string program_folder();

// The folders looked at, in order: only `given` when it is not empty.
std::vector<std::string> asset_folders(const std::string& given, const std::string& program_dir);

// The first of asset_folders() that holds the pictures; empty with *error
// naming every folder tried when none does.
std::string find_assets(const std::string& given, const std::string& program_dir,
                        std::string* error);

}  // namespace fishtank
