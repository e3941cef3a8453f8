#include "migrate/stage_upload_items.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/recording/recording_ui.h"
#include "shared/program_globals.h"
#include "support/sandbox.h"
#include "support/tree_snapshot.h"

namespace korvant {
namespace {

namespace fs = std::filesystem;
using testing::Sandbox;

constexpr const char* kInstallation = R"(C:\Marquelstan\Software)";
constexpr const char* kStaging = R"(C:\Korvant\.transfer)";

class StageUploadItemsTest : public ::testing::Test {
 protected:
  void SetUp() override { InitialiseGlobals("/korvant/KorvantUploader"); }
  void WriteInstallation(bool connectionIni, bool data, bool pdf) {
    sandbox_.WriteFile(R"(C:\Marquelstan\Software\Tarvo.exe)", "exe");
    if (connectionIni)
      sandbox_.WriteFile(R"(C:\Marquelstan\Software\Connection.ini)", "[con1]\r\n");
    if (data) {
      sandbox_.WriteFile(R"(C:\Marquelstan\Software\data\klanten.dat)", "klanten");
      sandbox_.WriteFile(R"(C:\Marquelstan\Software\data\2024\boek.dat)", "boek");
    }
    if (pdf) sandbox_.WriteFile(R"(C:\Marquelstan\Software\pdf\factuur.pdf)", "%PDF");
  }
  fs::path Staged(const char* name) const {
    return sandbox_.Host(std::string(kStaging) + "\\" + name);
  }

  Sandbox sandbox_;
  platform::RecordingUserInterface ui_;
};

TEST_F(StageUploadItemsTest, StagesTheFileAndEachFolderAsAnArchiveLeavingTheInstallationAsItWas) {
  WriteInstallation(true, true, true);
  const auto before = testing::SnapshotTree(sandbox_.Host(kInstallation));
  EXPECT_EQ(StageUploadItems(ui_, kInstallation, kStaging), 0);
  EXPECT_EQ(Sandbox::ReadFile(Staged("Connection.ini")), "[con1]\r\n");
  EXPECT_TRUE(fs::is_regular_file(Staged("data.zip")));
  EXPECT_TRUE(fs::is_regular_file(Staged("pdf.zip")));
  EXPECT_FALSE(fs::exists(Staged("data")));
  EXPECT_EQ(testing::SnapshotTree(sandbox_.Host(kInstallation)), before);
  EXPECT_TRUE(ui_.MessageBoxes().empty());
}

TEST_F(StageUploadItemsTest, PassesOverMissingItemsAndWhatIsAlreadyStaged) {
  WriteInstallation(true, false, true);
  sandbox_.WriteFile(R"(C:\Korvant\.transfer\Connection.ini)", "edited before");
  EXPECT_EQ(StageUploadItems(ui_, kInstallation, kStaging), 0);
  EXPECT_EQ(Sandbox::ReadFile(Staged("Connection.ini")), "edited before");
  EXPECT_FALSE(fs::exists(Staged("data.zip")));
  EXPECT_TRUE(fs::exists(Staged("pdf.zip")));
}

TEST_F(StageUploadItemsTest, AnInstallationWithoutItemsStagesNothing) {
  WriteInstallation(false, false, false);
  EXPECT_EQ(StageUploadItems(ui_, kInstallation, kStaging), 0);
  EXPECT_FALSE(fs::exists(sandbox_.Host(kStaging)));
}

TEST_F(StageUploadItemsTest, StopsAtTheFirstFailedCopyWithItsCode) {
  WriteInstallation(true, true, true);
  // The staging folder's name is taken by a file: nothing can be copied into it.
  sandbox_.WriteFile(R"(C:\Korvant\.transfer)", "in the way");
  const int result = StageUploadItems(ui_, kInstallation, kStaging);
  EXPECT_NE(result, 0);
  EXPECT_EQ(Sandbox::ReadFile(sandbox_.Host(kStaging)), "in the way");
}

}  // namespace
}  // namespace korvant
