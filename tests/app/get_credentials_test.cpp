#include "app/get_credentials.h"

#include <gtest/gtest.h>

#include <array>

#include "platform/recording/recording_ui.h"
#include "shared/program_globals.h"
#include "support/sandbox.h"

namespace korvant {
namespace {

using platform::DialogEnd;

struct CredentialsCase {
  const char* name;
  DialogEnd end;
  std::string userName;
  std::string password;
  std::string expected;  // without the trailing blanks
};

TEST(GetCredentials, JoinsOrBlanksAsTheDialogEnds) {
  const std::string longName(240, 'u');
  const std::array cases = {
      CredentialsCase{"name and password", DialogEnd::kOk, "acme-kassa1", "geheim",
                      "acme-kassa1:[@]:geheim"},
      CredentialsCase{"both empty still holds the separator", DialogEnd::kOk, "", "", ":[@]:"},
      CredentialsCase{"trailing blanks dropped, inner and leading kept", DialogEnd::kOk,
                      " acme kassa  ", " pw x  ", " acme kassa:[@]: pw x"},
      CredentialsCase{"240 + 20 characters cut at 256", DialogEnd::kOk, longName,
                      "abcdefghijklmnopqrst", longName + ":[@]:abcdefghijk"},
      CredentialsCase{"password longer than its entry", DialogEnd::kOk, "a",
                      "123456789012345678901234", "a:[@]:12345678901234567890"},
      CredentialsCase{"cancel", DialogEnd::kCancel, "acme", "geheim", ""},
      CredentialsCase{"closed by the close box", DialogEnd::kClosed, "acme", "geheim", ""},
  };
  testing::Sandbox sandbox;
  Globals().ProgramIni.Bind(".\\KorvantUploader.INI");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    platform::RecordingUserInterface ui;
    ui.AnswerCredentials(c.end, c.userName, c.password);
    const FixedText<256> result = GetCredentials(ui);
    EXPECT_EQ(result.Clip(), c.expected);
    EXPECT_EQ(result.Padded().size(), 256u);
  }
}

TEST(GetCredentials, RemembersWhereTheDialogWas) {
  testing::Sandbox sandbox;
  Globals().ProgramIni.Bind(".\\KorvantUploader.INI");
  {
    platform::RecordingUserInterface ui;
    ui.SetPlacementAtClose(platform::WindowId::kCredentials,
                           {false, false, 31, 42, 200, 75, false});
    GetCredentials(ui);
  }
  EXPECT_EQ(testing::Sandbox::ReadFile("KorvantUploader.INI"),
            "[GetCredentials]\r\nMaximize=No\r\nMinimize=No\r\nXPos=31\r\nYPos=42\r\n");
  platform::RecordingUserInterface ui;
  GetCredentials(ui);
  const auto restored = ui.RestoredPlacement(platform::WindowId::kCredentials);
  EXPECT_EQ(restored.x, 31);
  EXPECT_EQ(restored.y, 42);
}

}  // namespace
}  // namespace korvant
