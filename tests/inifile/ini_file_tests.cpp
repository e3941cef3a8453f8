#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <optional>
#include <string_view>

#include "platform/ini_file.h"
#include "platform/windows_errors.h"
#include "support/sandbox.h"
#include "support/unprivileged.h"

namespace korvant {
namespace {

namespace fs = std::filesystem;
using platform::IniFile;
using testing::Sandbox;

constexpr std::string_view kIni = "C:\\Korvant\\.transfer\\Connection.ini";
// The program's own INI file, whose window placement the application shell keeps.
constexpr std::string_view kProgramIni = "C:\\Work\\KorvantUploader.INI";

struct WriteCase {
  std::string_view name;
  std::optional<std::string_view> before;  // nothing: the file does not exist
  std::string_view section;
  std::string_view key;
  std::string_view value;
  std::string_view after;
};

constexpr std::array kWriteCases = {
    WriteCase{"MissingFileIsCreated", std::nullopt, "Korvant", "brindlehollows", "1",
              "[Korvant]\r\nbrindlehollows=1\r\n"},
    WriteCase{"EmptyFileGetsSection", "", "con1", "remote", "1", "[con1]\r\nremote=1\r\n"},
    WriteCase{"ValueReplacedOtherLinesKept",
              "; staged\r\n[con1]\r\nserver = db01\r\nremote=0\r\nuser=Piet\r\n", "con1", "remote",
              "1", "; staged\r\n[con1]\r\nserver = db01\r\nremote=1\r\nuser=Piet\r\n"},
    WriteCase{"NamesMatchInAnyCase", "[CON1]\r\nREMOTE=0\r\n", "con1", "remote", "1",
              "[CON1]\r\nREMOTE=1\r\n"},
    WriteCase{"BlanksAroundNamesIgnored", "[ con1 ]\r\n  remote  =  0\r\n", "con1", "remote", "1",
              "[ con1 ]\r\n  remote  =1\r\n"},
    WriteCase{"KeyAddedAtEndOfItsSection", "[con1]\r\nserver=db01\r\n\r\n[con2]\r\nserver=db02\r\n",
              "con1", "remote", "1",
              "[con1]\r\nserver=db01\r\nremote=1\r\n\r\n[con2]\r\nserver=db02\r\n"},
    WriteCase{"KeyAddedToLastSectionWithoutLineEnd", "[con1]\nserver=db01", "con1", "remote", "1",
              "[con1]\nserver=db01\r\nremote=1\r\n"},
    WriteCase{"MissingSectionAppended", "[con1]\r\nremote=1\r\n", "Korvant", "brindlehollows", "0",
              "[con1]\r\nremote=1\r\n[Korvant]\r\nbrindlehollows=0\r\n"},
    WriteCase{"MissingSectionAfterUnterminatedLine", "[con1]\nremote=1", "Korvant", "k", "v",
              "[con1]\nremote=1\r\n[Korvant]\r\nk=v\r\n"},
    WriteCase{"OnlyFirstOfEqualSectionsEdited", "[a]\r\nk=1\r\n[b]\r\n[A]\r\nk=2\r\n", "A", "K",
              "9", "[a]\r\nk=9\r\n[b]\r\n[A]\r\nk=2\r\n"},
    WriteCase{"SameKeyInOtherSectionUntouched", "[x]\r\nremote=0\r\n[con1]\r\n", "con1", "remote",
              "1", "[x]\r\nremote=0\r\n[con1]\r\nremote=1\r\n"},
    WriteCase{"Windows1252BytesKept", "[con1]\r\nnaam=Kopi\xEBren\r\n", "con1", "remote", "1",
              "[con1]\r\nnaam=Kopi\xEBren\r\nremote=1\r\n"},
    WriteCase{"LinesBeforeFirstSectionKept", "garbage line\r\n\r\n", "s", "k", "v",
              "garbage line\r\n\r\n[s]\r\nk=v\r\n"},
};

TEST(IniFileWrite, BeforeAndAfter) {
  for (const auto& c : kWriteCases) {
    SCOPED_TRACE(c.name);
    Sandbox sandbox;
    fs::create_directories(sandbox.Host("C:\\Korvant\\.transfer"));
    if (c.before) sandbox.WriteFile(kIni, *c.before);
    IniFile ini(std::string{kIni});
    EXPECT_EQ(ini.Write(c.section, c.key, c.value), 0u);
    EXPECT_EQ(Sandbox::ReadFile(sandbox.Host(kIni)), c.after);
  }
}

TEST(IniFileWrite, TwoWritesOfTheMigrationIntoAFreshFile) {
  Sandbox sandbox;
  fs::create_directories(sandbox.Host("C:\\Korvant\\.transfer"));
  IniFile ini(std::string{kIni});
  EXPECT_EQ(ini.Write("Korvant", "brindlehollows", "1"), 0u);
  EXPECT_EQ(ini.Write("con1", "remote", "1"), 0u);
  EXPECT_EQ(Sandbox::ReadFile(sandbox.Host(kIni)),
            "[Korvant]\r\nbrindlehollows=1\r\n[con1]\r\nremote=1\r\n");
}

TEST(IniFileWrite, MissingFolderFailsWithPathNotFound) {
  Sandbox sandbox;
  IniFile ini(std::string{kIni});
  EXPECT_EQ(ini.Write("Korvant", "brindlehollows", "1"), platform::kErrorPathNotFound);
  EXPECT_FALSE(fs::exists(sandbox.Host("C:\\Korvant")));
}

TEST(IniFileWrite, FolderInPlaceOfTheFileIsAccessDenied) {
  Sandbox sandbox;
  fs::create_directories(sandbox.Host(kIni));
  IniFile ini(std::string{kIni});
  EXPECT_EQ(ini.Write("con1", "remote", "1"), platform::kErrorAccessDenied);
}

TEST(IniFileWrite, ReadOnlyFileIsAccessDeniedAndKept) {
  Sandbox sandbox;
  const auto host = sandbox.WriteFile(kIni, "[con1]\r\nremote=0\r\n");
  // Anyone may write into the folder; the file itself is read-only. Checked as an ordinary user,
  // since permissions do not bind the superuser the tests may run as.
  for (fs::path p = host.parent_path(); p != sandbox.Root().parent_path(); p = p.parent_path()) {
    fs::permissions(p, fs::perms::all);
  }
  fs::permissions(host, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read,
                  fs::perm_options::replace);
  const int result = testing::RunUnprivileged([] {
    IniFile ini(std::string{kIni});
    return static_cast<int>(ini.Write("con1", "remote", "1"));
  });
  EXPECT_EQ(result, static_cast<int>(platform::kErrorAccessDenied));
  EXPECT_EQ(Sandbox::ReadFile(host), "[con1]\r\nremote=0\r\n");
}

TEST(IniFileWrite, FilePermissionsSurviveTheReplacement) {
  Sandbox sandbox;
  const auto host = sandbox.WriteFile(kIni, "[con1]\r\nremote=0\r\n");
  fs::permissions(host, fs::perms(0640), fs::perm_options::replace);
  IniFile ini(std::string{kIni});
  ASSERT_EQ(ini.Write("con1", "remote", "1"), 0u);
  EXPECT_EQ(fs::status(host).permissions(), fs::perms(0640));
  EXPECT_EQ(std::distance(fs::directory_iterator(host.parent_path()), fs::directory_iterator()),
            1);  // no temporary file left beside it
}

TEST(IniFileWrite, RelativePathIsInTheCurrentFolder) {
  Sandbox sandbox;
  IniFile ini(".\\KorvantUploader.INI");
  ASSERT_EQ(ini.Write("InstallSearch", "Maximize", "No"), 0u);
  EXPECT_EQ(Sandbox::ReadFile(fs::current_path() / "KorvantUploader.INI"),
            "[InstallSearch]\r\nMaximize=No\r\n");
  EXPECT_EQ(ini.Read("installsearch", "MAXIMIZE"), "No");
}

TEST(IniFileDeleteKey, RemovesOnlyThatLine) {
  Sandbox sandbox;
  const auto host = sandbox.WriteFile(kProgramIni, "[InstallSearch]\r\nXPos=10\r\nYPos=20\r\n");
  IniFile ini(std::string{kProgramIni});
  EXPECT_EQ(ini.DeleteKey("installsearch", "xpos"), 0u);
  EXPECT_EQ(Sandbox::ReadFile(host), "[InstallSearch]\r\nYPos=20\r\n");
  EXPECT_EQ(ini.DeleteKey("InstallSearch", "Width"), 0u);
  EXPECT_EQ(Sandbox::ReadFile(host), "[InstallSearch]\r\nYPos=20\r\n");
}

TEST(IniFileDeleteKey, MissingFileStaysMissing) {
  Sandbox sandbox;
  IniFile ini(std::string{kProgramIni});
  EXPECT_EQ(ini.DeleteKey("InstallSearch", "XPos"), 0u);
  EXPECT_FALSE(fs::exists(sandbox.Host(kProgramIni)));
}

struct ReadCase {
  std::string_view name;
  std::string_view section;
  std::string_view key;
  std::optional<std::string_view> value;
};

constexpr std::string_view kReadText =
    "[InstallSearch]\r\n"
    "Maximize =  No  \r\n"
    "XPos=\t12\r\n"
    "Empty=\r\n"
    "NoEquals\r\n"
    "[GetCredentials]\n"
    "XPos=7\n"
    "[installsearch]\r\n"
    "Minimize=Yes\r\n";

constexpr std::array kReadCases = {
    ReadCase{"ValueTrimmed", "InstallSearch", "Maximize", "No"},
    ReadCase{"TabsTrimmed", "InstallSearch", "XPos", "12"},
    ReadCase{"AnyCase", "INSTALLSEARCH", "xpos", "12"},
    ReadCase{"EmptyValue", "InstallSearch", "Empty", ""},
    ReadCase{"LineWithoutEqualsIsNoKey", "InstallSearch", "NoEquals", std::nullopt},
    ReadCase{"OtherSectionLfLines", "GetCredentials", "XPos", "7"},
    ReadCase{"FirstOfEqualSectionsCounts", "InstallSearch", "Minimize", std::nullopt},
    ReadCase{"MissingSection", "Nowhere", "XPos", std::nullopt},
    ReadCase{"MissingKey", "GetCredentials", "Width", std::nullopt},
};

TEST(IniFileRead, Values) {
  Sandbox sandbox;
  sandbox.WriteFile(kProgramIni, kReadText);
  IniFile ini(std::string{kProgramIni});
  for (const auto& c : kReadCases) {
    SCOPED_TRACE(c.name);
    const auto value = ini.Read(c.section, c.key);
    ASSERT_EQ(value.has_value(), c.value.has_value());
    if (value) {
      EXPECT_EQ(*value, *c.value);
    }
  }
  EXPECT_TRUE(ini.HasSection("getcredentials"));
  EXPECT_FALSE(ini.HasSection("__Dont_Touch_Me__"));
}

TEST(IniFileRead, MissingFileOrUnboundHasNothing) {
  Sandbox sandbox;
  EXPECT_FALSE(IniFile(std::string{kProgramIni}).Read("InstallSearch", "XPos"));
  EXPECT_FALSE(IniFile().Read("InstallSearch", "XPos"));
  EXPECT_FALSE(IniFile(std::string{kProgramIni}).HasSection("InstallSearch"));
}

}  // namespace
}  // namespace korvant
