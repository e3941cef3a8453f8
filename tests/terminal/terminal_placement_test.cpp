#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string_view>

#include "platform/linux/terminal_ui.h"

namespace korvant::platform {
namespace {

// A pipe holding a script's answers, read by the front end as its standard input.
class ScriptedInput {
 public:
  explicit ScriptedInput(std::string_view answers) {
    if (::pipe(ends_) != 0) ADD_FAILURE() << "pipe failed";
    EXPECT_EQ(::write(ends_[1], answers.data(), answers.size()),
              static_cast<ssize_t>(answers.size()));
    ::close(ends_[1]);
  }
  ~ScriptedInput() { ::close(ends_[0]); }
  int fd() const { return ends_[0]; }

 private:
  int ends_[2] = {-1, -1};
};

// Where the plain lines go: nowhere, these tests read only placements.
class Discard {
 public:
  Discard() : fd_(::open("/dev/null", O_WRONLY)) {}
  ~Discard() { ::close(fd_); }
  int fd() const { return fd_; }

 private:
  int fd_;
};

void ExpectPlacement(const WindowPlacement& actual, const WindowPlacement& expected) {
  EXPECT_EQ(actual.maximized, expected.maximized);
  EXPECT_EQ(actual.minimized, expected.minimized);
  EXPECT_EQ(actual.x, expected.x);
  EXPECT_EQ(actual.y, expected.y);
  EXPECT_EQ(actual.width, expected.width);
  EXPECT_EQ(actual.height, expected.height);
  EXPECT_EQ(actual.resizable, expected.resizable);
}

TEST(TerminalPlacement, DesignedSizesUntilRestored) {
  ScriptedInput input("");
  Discard output;
  TerminalUserInterface ui(input.fd(), output.fd());
  ExpectPlacement(ui.Placement(WindowId::kProgress), {false, false, 0, 0, 260, 90, true});
  ExpectPlacement(ui.Placement(WindowId::kCredentials), {false, false, 0, 0, 200, 75, false});
}

TEST(TerminalPlacement, RestoredValuesAreRememberedForTheNextSave) {
  struct Case {
    const char* name;
    WindowId window;
    SavedPlacement saved;
    WindowPlacement expected;
  };
  const Case cases[] = {
      {"progress window, every key",
       WindowId::kProgress,
       {true, false, 120, 80, 700, 300},
       {true, false, 120, 80, 700, 300, true}},
      {"progress window, smaller than designed",
       WindowId::kProgress,
       {std::nullopt, std::nullopt, 5, 6, 100, 40},
       {false, false, 5, 6, 260, 90, true}},
      {"missing keys keep their values",
       WindowId::kProgress,
       {std::nullopt, true, std::nullopt, 9, std::nullopt, std::nullopt},
       {false, true, 0, 9, 260, 90, true}},
      {"dialog keeps its size",
       WindowId::kCredentials,
       {false, false, 300, 200, 640, 480},
       {false, false, 300, 200, 200, 75, false}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    ScriptedInput input("");
    Discard output;
    TerminalUserInterface ui(input.fd(), output.fd());
    ui.RestorePlacement(test.window, test.saved);
    ExpectPlacement(ui.Placement(test.window), test.expected);
  }
}

TEST(TerminalPlacement, CredentialsDialogReportsWhereItWas) {
  ScriptedInput input("jan\ngeheim\n");
  Discard output;
  TerminalUserInterface ui(input.fd(), output.fd());
  const CredentialsEntry entry = ui.RunCredentialsDialog({false, false, 40, 30, 999, 999});
  EXPECT_TRUE(entry.opened);
  EXPECT_EQ(entry.end, DialogEnd::kOk);
  EXPECT_EQ(entry.userName, "jan");
  EXPECT_EQ(entry.password, "geheim");
  ExpectPlacement(entry.placement, {false, false, 40, 30, 200, 75, false});
}

}  // namespace
}  // namespace korvant::platform
