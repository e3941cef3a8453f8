#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zip.h>

#include <array>
#include <filesystem>
#include <map>
#include <string>

#include "platform/linux/powershell/powershell_cmdlets.h"
#include "platform/linux/powershell/zip_reader.h"
#include "support/sandbox.h"

namespace korvant::powershell {
namespace {

namespace fs = std::filesystem;
using testing::Sandbox;

struct ZipEntry {
  std::string name;
  std::uint16_t method = 0;
  std::uint64_t size = 0;
  time_t mtime = 0;
};

std::map<std::string, ZipEntry> ReadEntries(const fs::path& archive) {
  std::map<std::string, ZipEntry> entries;
  int error = 0;
  zip_t* zip = zip_open(archive.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
  if (zip == nullptr) return entries;
  for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
    zip_stat_t stat;
    zip_stat_index(zip, static_cast<zip_uint64_t>(i), 0, &stat);
    entries[stat.name] = {stat.name, stat.comp_method, stat.size, stat.mtime};
  }
  zip_discard(zip);
  return entries;
}

void MakeArchive(const fs::path& archive, const std::map<std::string, std::string>& files) {
  int error = 0;
  zip_t* zip = zip_open(archive.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(zip, nullptr);
  for (const auto& [name, content] : files) {
    zip_source_t* source = zip_source_buffer(zip, content.data(), content.size(), 0);
    ASSERT_GE(zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_RAW), 0);
  }
  ASSERT_EQ(zip_close(zip), 0);
}

class PowershellArchive : public ::testing::Test {
 protected:
  void SetUp() override {
    sandbox_.WriteFile("C:\\Tarvo\\data\\klant.dat", std::string(70000, 'k'));
    sandbox_.WriteFile("C:\\Tarvo\\data\\jaar 2024\\boek.dat", "boekingen");
    sandbox_.WriteFile("C:\\Tarvo\\data\\jaar 2024\\diep\\x.txt", "");
    fs::create_directories(sandbox_.Host("C:\\Tarvo\\data\\leeg"));
    // Windows keeps a file's time in the archive; a fixed old time shows it is not "now".
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    fs::last_write_time(sandbox_.Host("C:\\Tarvo\\data\\klant.dat"), old);
  }

  int Run(const std::string& command) {
    errors_.clear();
    return RunCommandText(command, errors_);
  }

  Sandbox sandbox_;
  std::string errors_;
};

TEST_F(PowershellArchive, CompressStoresTheFolderContentsAtTheTop) {
  ASSERT_EQ(Run("Compress-Archive -Path \"C:\\Tarvo\\data\\*\" -DestinationPath "
                "\"C:\\Korvant\\data.zip\" -CompressionLevel NoCompression -Force"),
            1);  // the archive's folder is missing: PowerShell makes none
  fs::create_directories(sandbox_.Host("C:\\Korvant"));
  ASSERT_EQ(Run("Compress-Archive -Path \"C:\\Tarvo\\data\\*\" -DestinationPath "
                "\"C:\\Korvant\\data.zip\" -CompressionLevel NoCompression -Force"),
            0)
      << errors_;
  const auto entries = ReadEntries(sandbox_.Host("C:\\Korvant\\data.zip"));
  std::vector<std::string> names;
  for (const auto& [name, entry] : entries) {
    names.push_back(name);
    EXPECT_EQ(entry.method, ZIP_CM_STORE) << name;
  }
  EXPECT_EQ(names, (std::vector<std::string>{"jaar 2024/boek.dat", "jaar 2024/diep/x.txt",
                                             "klant.dat", "leeg/"}));
  EXPECT_EQ(entries.at("klant.dat").size, 70000u);
  const auto kept = fs::last_write_time(sandbox_.Host("C:\\Tarvo\\data\\klant.dat"));
  const auto keptSeconds = std::chrono::duration_cast<std::chrono::seconds>(
      std::chrono::file_clock::to_sys(kept).time_since_epoch());
  EXPECT_NEAR(static_cast<double>(entries.at("klant.dat").mtime),
              static_cast<double>(keptSeconds.count()), 2.0);  // DOS times have 2 s steps
}

TEST_F(PowershellArchive, RoundTripKeepsContentsAndSubFolders) {
  ASSERT_EQ(Run("Compress-Archive -Path \"C:\\Tarvo\\data\\*\" -DestinationPath \"C:\\data.zip\" "
                "-CompressionLevel NoCompression -Force"),
            0)
      << errors_;
  ASSERT_EQ(Run("Expand-Archive -Path \"C:\\data.zip\" -DestinationPath \"C:\\Terug\\data\\\" "
                "-Force"),
            0)
      << errors_;
  for (const auto* file : {"klant.dat", "jaar 2024/boek.dat", "jaar 2024/diep/x.txt"}) {
    EXPECT_EQ(Sandbox::ReadFile(sandbox_.Host("C:\\Tarvo\\data") / file),
              Sandbox::ReadFile(sandbox_.Host("C:\\Terug\\data") / file))
        << file;
  }
  EXPECT_TRUE(fs::is_directory(sandbox_.Host("C:\\Terug\\data\\leeg")));
  EXPECT_TRUE(fs::exists(sandbox_.Host("C:\\data.zip")));
}

TEST_F(PowershellArchive, ForceReplacesAnExistingArchiveAndOnlyForce) {
  const auto archive = sandbox_.WriteFile("C:\\data.zip", "old");
  const std::string command =
      "Compress-Archive -Path \"C:\\Tarvo\\data\\jaar 2024\" -DestinationPath \"C:\\data.zip\"";
  EXPECT_EQ(Run(command), 1);
  EXPECT_EQ(Sandbox::ReadFile(archive), "old");
  ASSERT_EQ(Run(command + " -Force"), 0) << errors_;
  // A folder named without a wildcard keeps its own name in the archive.
  EXPECT_EQ(ReadEntries(archive).count("jaar 2024/boek.dat"), 1u);
  EXPECT_EQ(ReadEntries(archive).at("jaar 2024/boek.dat").method, ZIP_CM_DEFLATE);
}

TEST_F(PowershellArchive, ExpandReplacesFilesOnlyWithForce) {
  MakeArchive(sandbox_.Host("C:\\in.zip"), {{"a.txt", "new"}});
  const auto existing = sandbox_.WriteFile("C:\\Out\\a.txt", "old");
  EXPECT_EQ(Run("Expand-Archive -Path \"C:\\in.zip\" -DestinationPath \"C:\\Out\""), 1);
  EXPECT_EQ(Sandbox::ReadFile(existing), "old");
  EXPECT_EQ(Run("Expand-Archive -Path \"C:\\in.zip\" -DestinationPath \"C:\\Out\" -Force"), 0);
  EXPECT_EQ(Sandbox::ReadFile(existing), "new");
}

TEST_F(PowershellArchive, ExpandRefusesAnArchiveWithAnEscapingEntry) {
  MakeArchive(sandbox_.Host("C:\\evil.zip"), {{"good.txt", "g"}, {"../../escaped.txt", "e"}});
  EXPECT_EQ(Run("Expand-Archive -Path \"C:\\evil.zip\" -DestinationPath \"C:\\Out\\In\" -Force"),
            1);
  EXPECT_NE(errors_.find("../../escaped.txt"), std::string::npos);
  EXPECT_FALSE(fs::exists(sandbox_.Host("C:\\Out")));  // not even the good entry
  EXPECT_FALSE(fs::exists(sandbox_.Host("C:\\escaped.txt")));
}

TEST_F(PowershellArchive, ExpandDoesNotFollowALinkOutOfTheDestination) {
  MakeArchive(sandbox_.Host("C:\\in.zip"), {{"link/x.txt", "x"}});
  fs::create_directories(sandbox_.Host("C:\\Out"));
  fs::create_directories(sandbox_.Host("C:\\Elsewhere"));
  fs::create_directory_symlink(sandbox_.Host("C:\\Elsewhere"), sandbox_.Host("C:\\Out") / "link");
  EXPECT_EQ(Run("Expand-Archive -Path \"C:\\in.zip\" -DestinationPath \"C:\\Out\" -Force"), 1);
  EXPECT_FALSE(fs::exists(sandbox_.Host("C:\\Elsewhere\\x.txt")));
}

struct PlaceCase {
  std::string_view entry;
  std::optional<std::string_view> place;
};

constexpr std::array kPlaces = {
    PlaceCase{"a/b.txt", "a/b.txt"},        PlaceCase{"a\\b.txt", "a/b.txt"},
    PlaceCase{"a/./b/../c.txt", "a/c.txt"}, PlaceCase{"dir/", "dir"},
    PlaceCase{"../x", std::nullopt},        PlaceCase{"a/../../x", std::nullopt},
    PlaceCase{"/etc/passwd", std::nullopt}, PlaceCase{"\\Windows\\x", std::nullopt},
    PlaceCase{"C:\\x", std::nullopt},       PlaceCase{"x.txt:stream", std::nullopt},
    PlaceCase{"./", std::nullopt},
};

TEST(PowershellEntryPlace, NamesStayBelowTheDestination) {
  for (const auto& c : kPlaces) {
    SCOPED_TRACE(c.entry);
    const auto place = EntryPlace(c.entry);
    ASSERT_EQ(place.has_value(), c.place.has_value());
    if (place) {
      EXPECT_EQ(place->generic_string(), *c.place);
    }
  }
}

}  // namespace
}  // namespace korvant::powershell
