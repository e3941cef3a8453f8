// Bad input, each in a whole run of the workflow against the real store: the run gives the
// defined behaviour or a clear message, never a crash or a hang, and writes nowhere but where the
// program owns its folders ("C:\Korvant", its staging folder, the user's own cloud folder).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "faults/workstation.h"
#include "shared/colours.h"
#include "support/zip_contents.h"
#include "transfer/curl_class.h"
#include "transfer/store_session.h"
#include "transfer/trace_capture.h"

namespace korvant {
namespace {

namespace fs = std::filesystem;
using testing::Sandbox;
using testing::Workstation;

constexpr int kCurlLoginDenied = 67;
const std::string kDone = "Installatie voltooid, Korvant wordt gestart";

std::string CurlText(int code) {
  return TCurlClass().StrError(code);
}

// Everything below a folder, as relative paths.
std::set<std::string> Tree(const fs::path& folder) {
  std::set<std::string> names;
  std::error_code error;
  for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    names.insert(fs::relative(it->path(), folder).string());
  }
  return names;
}

TEST(BadInput, UserNamesThatLeadOutOfTheOwnCloudFolderAreRefusedBeforeAnyTransfer) {
  for (const std::string user :
       {"-kassa1", "..", "..-kassa1", "../acme-kassa1", "acme/..-kassa1", "a/b-kassa1",
        "a\\b-kassa1", "\\-kassa1", ".", "...", ". .-kassa1", " -kassa1"}) {
    SCOPED_TRACE(user);
    Workstation w;
    testing::TraceCapture trace;
    const auto run = w.RunOnce(user, "geheim");
    EXPECT_EQ(run.message,
              "Inloggen op Korvant\r\nOngeldige gebruikersnaam, inloggen mislukt: "
              "\r\n \"" +
                  user + "\"");
    EXPECT_EQ(run.colours, std::vector<std::uint32_t>{kRed});
    EXPECT_EQ(run.position, run.range) << "the bar is filled";
    EXPECT_FALSE(run.closeDown) << "the window stays open with its message";
    EXPECT_TRUE(trace.Lines().empty()) << "the store was contacted: " << trace.Lines().front();
    EXPECT_EQ(Tree(w.Host("C:\\Korvant")), std::set<std::string>{});
    EXPECT_EQ(Tree(w.store().Value("KORVANT_STORE_CLOUD")), std::set<std::string>{});
  }
}

// Names the store simply does not know: the store refuses them like any wrong login. The
// account prefix they would give stays a folder of its own below the cloud root.
TEST(BadInput, OtherOddUserNamesReachTheStoreAndAreRefusedThere) {
  for (const std::string user : {"#acme-kassa1", "ac?me-kassa1", "100%-kassa1", "%2e%2e-kassa1",
                                 "acme kassa1", "Kopi\xEBren-kassa1", "a:b-kassa1", ""}) {
    SCOPED_TRACE(user);
    EXPECT_TRUE(user.empty() || KeepsToOwnCloudFolder(user));
    Workstation w;
    const auto run = w.RunOnce(user, "geheim");
    EXPECT_EQ(run.message,
              "Downloaden van installatie\r\nDownload van Korvant installatie "
              "mislukt, zie: \r\n \"" +
                  CurlText(kCurlLoginDenied) + "\"");
    EXPECT_EQ(run.colours, std::vector<std::uint32_t>{kRed});
    EXPECT_EQ(Tree(w.Host("C:\\Korvant")), std::set<std::string>{});
    EXPECT_TRUE(w.InstallationUnchanged());
  }
}

TEST(BadInput, PasswordsWithColonsAndTheSeparatorLogIn) {
  for (const std::string password : {"a:b", ":[@]:", "x:[@]:y:[@]:"}) {
    SCOPED_TRACE(password);
    Workstation w;
    w.store().AddToCloud("Connection.ini", "[con1]\r\nremote=1\r\n");
    testing::PasswordChange changed(w.store(), password);
    const auto run = w.RunOnce(w.store().User(), password);
    EXPECT_EQ(run.message, kDone);
    EXPECT_EQ(Sandbox::ReadFile(w.Host("C:\\Korvant\\Tarvo.connect")), "[connection]\r\n");
  }
}

// The user refuses the known location and picks Tarvo.exe in the file dialog, at a path of the
// given length (backslashes and drive included).
std::string LongInstallation(std::size_t exeLength) {
  std::string folder = "C:\\Lang";
  const std::size_t folderLength = exeLength - std::string("\\Tarvo.exe").size();
  while (folder.size() < folderLength) {
    const std::size_t room = folderLength - folder.size() - 1;  // after the backslash
    folder += "\\" + std::string(std::min<std::size_t>(room, 50), 'm');
  }
  return folder;
}

TEST(BadInput, InstallationPathsAtAndBeyondTheLengthsWindowsAllows) {
  struct Case {
    std::size_t length;
    std::string message;  // the start of the final message
    bool refused;         // the path itself was refused in the search
  };
  const std::vector<Case> cases = {
      // The longest that stages: "<folder>\Connection.ini" takes 254 characters.
      {249, kDone, false},
      // Fits the program's 256 characters, but the staged copy's source would not fit the
      // shell's 254: Windows' "file name too long".
      {256,
       "1983:\r\nKopi\xEBren van installatie naar \"C:\\Korvant\\.transfer\" is mislukt!\r\n"
       "Error Code: 206\r\nError Message: ",
       false},
      // MAX_PATH less its NUL, and one more: cut to fit, either would name another folder.
      {259, "Er wordt gezocht naar uw Tarvo installatie", true},
      {260, "Er wordt gezocht naar uw Tarvo installatie", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    Workstation w;
    const std::string folder = LongInstallation(c.length);
    const std::string exe = folder + "\\Tarvo.exe";
    ASSERT_EQ(exe.size(), c.length);
    const fs::path host = w.sandbox().WriteFile(exe, "exe").parent_path();
    w.sandbox().WriteFile(folder + "\\Connection.ini", "[Korvant]\r\n");
    w.sandbox().WriteFile(folder + "\\data\\klanten.dat", "klant 1\n");
    // Another installation in the folder that the path cut to 256 characters would name.
    const std::string cut = exe.substr(0, 256 - std::string("\\Tarvo.exe").size());
    if (c.refused) {
      w.sandbox().WriteFile(cut + "\\Connection.ini", "[Andere installatie]\r\n");
      w.sandbox().WriteFile(cut + "\\data\\ander.dat", "niet van deze gebruiker\n");
    }
    const auto before = testing::SnapshotTree(host);

    const auto run = w.RunScripted([&](platform::RecordingUserInterface& ui) {
      ui.AnswerCredentials(platform::DialogEnd::kOk, w.store().User(), w.store().Password());
      ui.AnswerMessageBox(platform::MessageButton::kNo);  // not the known location
      ui.AnswerOpenFile(exe);
    });
    EXPECT_EQ(run.message.rfind(c.message, 0), 0u) << run.message;
    EXPECT_EQ(testing::SnapshotTree(host), before);
    EXPECT_TRUE(w.InstallationUnchanged());
    if (c.refused) {
      EXPECT_EQ(run.message, c.message);
      EXPECT_TRUE(run.closeDown);
      ASSERT_EQ(run.messageBoxes.size(), 3u);
      EXPECT_EQ(run.messageBoxes[1],
                "Het pad van het gekozen bestand is langer dan 256 tekens en kan niet worden "
                "gebruikt:|" +
                    exe);
      EXPECT_EQ(run.messageBoxes[2],
                "Er was geen installatie gevonden dus het programma wordt afgebroken.");
      EXPECT_FALSE(fs::exists(w.Host(Workstation::kStaging)));
      EXPECT_FALSE(fs::exists(w.store().CloudInstaller()));
    }
    if (c.message == kDone) {
      EXPECT_EQ(testing::ZipContents(w.store().CloudInstaller() / "data.zip"),
                testing::FolderContents(host / "data"));
    }
  }
}

// The user's Connection.ini as found: only the staged copy is edited, and it keeps every line
// the edit does not touch, as Windows' profile writer does.
TEST(BadInput, ConnectionIniOfAnyShape) {
  struct Case {
    const char* name;
    std::string local;
    std::string cloud;
  };
  constexpr char kGarbage[] = "\x00\x01 binary \xFF\r\n[[unclosed\r\n=\r\n";
  const std::string garbage(kGarbage, sizeof kGarbage - 1);
  const std::vector<Case> cases = {
      {"no final line break", "[Korvant]\r\nklant=Bakkerij\r\n[con1]\r\nserver=db",
       "[Korvant]\r\nklant=Bakkerij\r\nbrindlehollows=1\r\n[con1]\r\nserver=db\r\nremote=1\r\n"},
      {"LF line ends", "[Korvant]\nklant=Bakkerij\n\n[con1]\nserver=db\n",
       "[Korvant]\nklant=Bakkerij\nbrindlehollows=1\r\n\n[con1]\nserver=db\nremote=1\r\n"},
      {"no INI at all", garbage,
       garbage + "[Korvant]\r\nbrindlehollows=1\r\n[con1]\r\nremote=1\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Workstation w;
    const fs::path ini = w.Host(std::string(Workstation::kInstallation) + "\\Connection.ini");
    {
      std::ofstream out(ini, std::ios::binary | std::ios::trunc);
      out.write(c.local.data(), static_cast<std::streamsize>(c.local.size()));
    }
    const auto before = testing::SnapshotTree(w.Host(Workstation::kInstallation));
    const auto run = w.RunOnce();
    EXPECT_EQ(run.message, kDone);
    EXPECT_EQ(Sandbox::ReadFile(w.store().CloudInstaller() / "Connection.ini"), c.cloud);
    EXPECT_EQ(Sandbox::ReadFile(ini), c.local);
    EXPECT_EQ(testing::SnapshotTree(w.Host(Workstation::kInstallation)), before);
  }
}

// A Windows-1252 letter in a name of the installation set, as one byte and as a server that
// keeps UTF-8 names sends it: each file lands in "C:\Korvant" under the name the listing gave.
TEST(BadInput, InstallationSetNamesWithAWindows1252Letter) {
  Workstation w;
  w.store().AddToInstallationSet("Kopi\xEBren.txt", "one byte");
  w.store().AddToInstallationSet("Overzicht-\xC3\xABn.txt", "utf-8");
  w.store().AddToCloud("Connection.ini", "[con1]\r\nremote=1\r\n");
  const auto run = w.RunOnce();
  EXPECT_EQ(run.message, kDone);
  // The host keeps names in UTF-8: the byte 0xEB is "\xC3\xAB" there, and the two UTF-8 bytes
  // are the two Windows-1252 letters they stand for.
  EXPECT_EQ(Sandbox::ReadFile(w.Host("C:\\Korvant\\Kopi\xEBren.txt")), "one byte");
  EXPECT_EQ(Sandbox::ReadFile(w.Host("C:\\Korvant\\Overzicht-\xC3\xABn.txt")), "utf-8");
  EXPECT_EQ(Tree(w.sandbox().Drives() / "C" / "Korvant"),
            (std::set<std::string>{"Kopi\xC3\xABren.txt", "Overzicht-\xC3\x83\xC2\xABn.txt",
                                   "Setup-RemoteAppClient.exe", "Setup-VirtualPrinter-Client.exe",
                                   "Tarvo.connect", "Tarvo.lnk"}));
}

}  // namespace
}  // namespace korvant
