#include <gtest/gtest.h>

#include <array>

#include "install/run_installation.h"

namespace korvant {
namespace {

struct SplitCase {
  const char* name;
  const char* credentials;
  const char* userName;
  const char* password;
};

constexpr std::array kCases = {
    SplitCase{"name and password", "acme-kassa1:[@]:geheim", "acme-kassa1", "geheim"},
    SplitCase{"blank user name", ":[@]:geheim", "", "geheim"},
    SplitCase{"split at the first separator", "a:[@]:b:[@]:c", "a", "b:[@]:c"},
    SplitCase{"colons in the password", "a:[@]:p:a:ss", "a", "p:a:ss"},
    SplitCase{"cancelled dialog", "", "", ""},
    SplitCase{"both empty", ":[@]:", "", ""},
};

TEST(SplitCredentials, SplitsAtTheFirstSeparator) {
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    InstallSession session;
    session.UserName = "stale";
    session.Password = "stale";
    session.Credentials = c.credentials;
    SplitCredentials(session);
    EXPECT_EQ(session.UserName.Clip(), c.userName);
    EXPECT_EQ(session.Password.Clip(), c.password);
  }
}

}  // namespace
}  // namespace korvant
