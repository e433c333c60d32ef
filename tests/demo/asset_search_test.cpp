// Finding the pictures: the folder given, else beside the program, else
// the installed data folder next to it; every folder tried is named when
// none holds them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "asset_search.h"
#include "tank.h"

namespace fishtank {
namespace {

namespace fs = std::filesystem;

class AssetSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("rastrix_assets_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(bin());
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string bin() const { return (root_ / "bin").string(); }
  std::string installed() const { return (root_ / "share" / "rastrix").string(); }
  static void put_pictures(const std::string& dir) {
    fs::create_directories(dir);
    std::ofstream(fs::path(dir) / kPhotoFile) << "x";
  }

  fs::path root_;
};

TEST_F(AssetSearch, TheGivenFolderIsTheOnlyOneTried) {
  put_pictures(bin());
  std::string given = (root_ / "pics").string(), error;
  EXPECT_EQ(find_assets(given, bin(), &error), "");
  EXPECT_NE(error.find(given), std::string::npos) << error;
  EXPECT_EQ(error.find(bin() + ","), std::string::npos) << error;
  put_pictures(given);
  EXPECT_EQ(find_assets(given, bin(), &error), given);
}

TEST_F(AssetSearch, BesideTheProgramComesBeforeTheInstalledFolder) {
  std::string error;
  put_pictures(installed());
  EXPECT_EQ(find_assets("", bin(), &error), installed());
  put_pictures(bin());
  EXPECT_EQ(find_assets("", bin(), &error), bin());
}

TEST_F(AssetSearch, NoPicturesNamesEveryFolderTried) {
  std::string error;
  EXPECT_EQ(find_assets("", bin(), &error), "");
  EXPECT_EQ(asset_folders("", bin()), (std::vector<std::string>{bin(), installed()}));
  for (const std::string& folder : asset_folders("", bin()))
    EXPECT_NE(error.find(folder), std::string::npos) << error;
}

}  // namespace
}  // namespace fishtank
