#include <gtest/gtest.h>
#include <zip.h>

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/linux/powershell/zip_reader.h"
#include "support/sandbox.h"

namespace korvant::powershell {
namespace {

namespace fs = std::filesystem;

void MakeArchive(const fs::path& archive, std::string_view entryName) {
  int error = 0;
  zip_t* zip = zip_open(archive.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(zip, nullptr);
  static constexpr std::string_view kContent = "x";
  zip_source_t* source = zip_source_buffer(zip, kContent.data(), kContent.size(), 0);
  const std::string name(entryName);
  const bool folder = name.back() == '/';
  ASSERT_GE(folder ? zip_dir_add(zip, name.c_str(), ZIP_FL_ENC_RAW)
                   : zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_RAW),
            0);
  if (folder) zip_source_free(source);
  ASSERT_EQ(zip_close(zip), 0);
}

// Found by the zip expansion fuzzer: a destination that already holds a link to a folder
// elsewhere. Files are not written through the link, but the folders on an entry's way are made
// before the check, so "link/made/" (a folder entry) and "link/sub/x.txt" (a file in a folder the
// link leads to) create folders outside the destination.
constexpr std::array kThroughTheLink = {
    std::string_view("link/made/"),
    std::string_view("link/sub/x.txt"),
    std::string_view("link/a/b/c/"),
};

TEST(ZipExpandRegression, NoFolderIsMadeThroughALinkInTheDestination) {
  for (const auto entry : kThroughTheLink) {
    SCOPED_TRACE(entry);
    testing::Sandbox sandbox;
    const fs::path archive = sandbox.Root() / "archive.zip";
    const fs::path destination = sandbox.Root() / "destination";
    const fs::path elsewhere = sandbox.Root() / "elsewhere";
    MakeArchive(archive, entry);
    fs::create_directories(destination);
    fs::create_directories(elsewhere);
    fs::create_directory_symlink(elsewhere, destination / "link");

    const ExpandResult result = ExpandZipArchive(archive, destination, true);

    EXPECT_TRUE(fs::is_empty(elsewhere));
    EXPECT_FALSE(result.errors.empty());  // the entry was not expanded, and the user is told
  }
}

}  // namespace
}  // namespace korvant::powershell
