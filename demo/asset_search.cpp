#include "asset_search.h"

#include <unistd.h>

#include <filesystem>

#include "tank.h"

namespace fishtank {

namespace {

// The installed data folder seen from the installed program, e.g.
// "../share/rastrix"; the build system says where the two lie.
constexpr const char* kInstalledAssets = FISHTANK_INSTALLED_ASSETS;

bool has_pictures(const std::string& dir) {
  return access((dir + "/" + kPhotoFile).c_str(), R_OK) == 0;
}

}  // namespace

std::string program_folder() {
  std::error_code failed;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", failed);
  if (failed || !exe.has_parent_path()) return ".";
  return exe.parent_path().string();
}

std::vector<std::string> asset_folders(const std::string& given, const std::string& program_dir) {
  if (!given.empty()) return {given};
  std::filesystem::path installed = std::filesystem::path(program_dir) / kInstalledAssets;
  return {program_dir, installed.lexically_normal().string()};
}

std::string find_assets(const std::string& given, const std::string& program_dir,
                        std::string* error) {
  std::vector<std::string> folders = asset_folders(given, program_dir);
  for (const std::string& folder : folders)
    if (has_pictures(folder)) return folder;
  std::string tried;
  for (const std::string& folder : folders) tried += (tried.empty() ? "" : ", ") + folder;
  *error = std::string("cannot find the pictures (") + kPhotoFile + " and the rest) in " + tried +
           "; --assets DIR names their folder";
  return {};
}

}  // namespace fishtank
