#include "platform/linux/drive_mapping.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include "support/sandbox.h"

namespace korvant::platform {
namespace {

namespace fs = std::filesystem;

struct MappingCase {
  const char* name;
  std::string_view windowsPath;
  const char* underDrives;  // nullptr: the expected path is relative to the current folder
  const char* expected;
};

const std::array kCases = {
    MappingCase{"drive path", R"(C:\Korvant\Tarvo.connect)", "", "C/Korvant/Tarvo.connect"},
    MappingCase{"drive letter upper-cased", R"(h:\x)", "", "H/x"},
    MappingCase{"drive root", R"(C:\\)", "", "C"},
    MappingCase{"remote share, prefix in any case", R"(\\tsclient\c\Marquelstan\Tarvo.exe)", "",
                "TSCLIENT/C/Marquelstan/Tarvo.exe"},
    MappingCase{"forward slashes separate too", "C:/SFTP/a", "", "C/SFTP/a"},
    MappingCase{"trailing blanks ignored", "C:\\a   ", "", "C/a"},
    MappingCase{"dot dot never climbs above the drive", R"(C:\a\..\..\..\etc\passwd)", "",
                "C/etc/passwd"},
    MappingCase{"root of the current drive", R"(\Users\Public)", "", "C/Users/Public"},
    MappingCase{"Windows-1252 name becomes UTF-8", "C:\\Kopi\xEBren", "", "C/Kopi\xC3\xABren"},
    MappingCase{"relative to the current folder", R"(.\KorvantUploader.INI)", nullptr,
                "KorvantUploader.INI"},
    MappingCase{"bare relative name", "a\\b", nullptr, "a/b"},
};

TEST(HostPath, MapsWindowsPathsUnderTheDrivesFolder) {
  testing::Sandbox sandbox;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const fs::path expected =
        c.underDrives != nullptr ? sandbox.Drives() / c.expected : fs::path(c.expected);
    EXPECT_EQ(HostPath(c.windowsPath), expected);
  }
}

TEST(HostPath, MatchesExistingNamesInAnyLetterCase) {
  testing::Sandbox sandbox;
  fs::create_directories(sandbox.Drives() / "C" / "BrindleHollows" / "Tarvo");
  EXPECT_EQ(HostPath(R"(c:\brindlehollows\TARVO\Tarvo.exe)"),
            sandbox.Drives() / "C" / "BrindleHollows" / "Tarvo" / "Tarvo.exe");
}

TEST(HostPath, HostPathsPassUnchanged) {
  EXPECT_EQ(HostPath("/usr/bin/env"), fs::path("/usr/bin/env"));
}

TEST(DrivesFolder, FollowsTheEnvironment) {
  testing::Sandbox sandbox;
  EXPECT_EQ(DrivesFolder(), sandbox.Drives());
}

}  // namespace
}  // namespace korvant::platform
