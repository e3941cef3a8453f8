#include "transfer/curl_class.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "trace_capture.h"
#include "transfer/store_session.h"

namespace korvant {
namespace {

// libcurl's CURLUPART_URL: the whole URL.
constexpr int kWholeUrl = 0;

std::string SessionUrl(TCurlClass& session) {
  FixedText<512> url;
  EXPECT_EQ(session.URLP->GetPart(kWholeUrl, url, 0), 0);
  return url.Clip();
}

TEST(CurlSession, CredentialsNeedBothSides) {
  struct Case {
    const char* user;
    const char* password;
    const char* value;
  };
  const std::array<Case, 5> cases = {{
      {"acme-kassa1", "geheim", "acme-kassa1:geheim"},
      {"acme-kassa1   ", "geheim  ", "acme-kassa1:geheim"},
      {"acme-kassa1", "   ", ""},
      {"", "geheim", ""},
      {"", "", ""},
  }};
  for (const auto& c : cases) {
    EXPECT_EQ(UserPwdText(c.user, c.password), c.value) << c.user << "/" << c.password;
  }
  TCurlClass session;
  session.Init();
  EXPECT_EQ(session.SetUserPwd("acme-kassa1", ""), 0);
}

TEST(CurlSession, APathResolvesAgainstTheUrlBeforeIt) {
  TCurlClass session;
  session.Init();
  ASSERT_EQ(session.SetUrl("sftp://store.example:2222   "), 0);
  ASSERT_EQ(session.SetUrl("/C:/SFTP/Installation/"), 0);
  EXPECT_EQ(SessionUrl(session), "sftp://store.example:2222/C:/SFTP/Installation/");
  // Blanks inside are allowed (libcurl encodes them), trailing ones are padding; encoded names
  // stay encoded.
  ASSERT_EQ(session.SetUrl(UrlPath("/C:/SFTP/Installation/two words a#b?c%d.txt") + "  "), 0);
  EXPECT_EQ(SessionUrl(session),
            "sftp://store.example:2222/C:/SFTP/Installation/two%20words%20a%23b%3Fc%25d.txt");
}

TEST(CurlSession, AnUnparsableUrlGivesMalformedAndOneTraceLine) {
  testing::TraceCapture trace;
  TCurlClass session;
  session.Init();
  EXPECT_EQ(session.SetUrl("sftp://[::1"), 3);
  const auto lines = trace.Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("[libcurl] TCurlClass.SetUrl(sftp://[::1) error: ", 0), 0u) << lines[0];
}

TEST(CurlSession, ErrorTextsAreLibcurlsUnlessACustomOneIsAdded) {
  TCurlClass session;
  session.Init();
  EXPECT_EQ(session.ERRORS->Count(), 0u);
  EXPECT_EQ(session.StrError(67), "Login denied");
  EXPECT_EQ(session.StrError(0), "No error");
  // A table: count 2; id 67 "nee"; id 78 "weg".
  static constexpr unsigned char kTable[] = {2,   0,  67, 0, 0, 0, 3,   'n', 'e',
                                             'e', 78, 0,  0, 0, 3, 'w', 'e', 'g'};
  session.AddErrors(kTable);
  EXPECT_EQ(session.StrError(67), "nee");
  EXPECT_EQ(session.StrError(78), "weg");
  EXPECT_EQ(session.StrError(28), "Timeout was reached");
}

TEST(CurlSession, WithoutAnEasyHandleEveryCallFailsAndCleanupIsSafe) {
  TCurlClass session;  // never initialised
  EXPECT_NE(session.SetOpt(44, 1), 0);
  EXPECT_NE(session.Perform(), 0);
  session.Cleanup();
  EXPECT_EQ(session.CURL, nullptr);
}

TEST(StorePaths, AccountPrefixAndCloudFolder) {
  struct Case {
    const char* user;
    const char* prefix;
    const char* folder;
  };
  const std::array<Case, 5> cases = {{
      {"acme-kassa1", "acme", "/C:/Installaties/acme/Installer"},
      {"acme   ", "acme", "/C:/Installaties/acme/Installer"},
      {"a-b-c", "a", "/C:/Installaties/a/Installer"},
      {"-kassa", "", "/C:/Installaties//Installer"},
      {"", "", "/C:/Installaties//Installer"},
  }};
  for (const auto& c : cases) {
    EXPECT_EQ(AccountPrefix(c.user), c.prefix) << c.user;
    EXPECT_EQ(CloudInstallerFolder(c.user), c.folder) << c.user;
  }
}

TEST(StorePaths, OnlyTheUrlSpecialCharactersAreEncoded) {
  EXPECT_EQ(UrlPath("/C:/SFTP/Installation/a#b?c%41 d\xEB.txt"),
            "/C:/SFTP/Installation/a%23b%3Fc%2541 d\xEB.txt");
}

}  // namespace
}  // namespace korvant
