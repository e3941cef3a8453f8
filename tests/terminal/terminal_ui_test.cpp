#include <gtest/gtest.h>
#include <signal.h>

#include <functional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "support/program_under_test.h"
#include "support/sandbox.h"

namespace korvant::testing {
namespace {

const std::string kCtrlD = "\x04";
const std::string kEscape = "\x1b";
const std::string kBackspace = "\x7f";
const std::string kCloseHint = "Druk op Enter om het venster te sluiten.";

std::string Driver() {
  return (BuiltProgramsFolder() / "terminal_ui_driver").string();
}

std::string Repeated(std::string_view piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

// The lines of a piped run, without their line ends.
std::vector<std::string> Lines(const std::string& output) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < output.size()) {
    std::size_t end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    lines.push_back(output.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

void ExpectNormalEnd(const std::optional<ProgramEnd>& end) {
  ASSERT_TRUE(end.has_value()) << "the driver did not end";
  EXPECT_TRUE(end->exited);
  EXPECT_EQ(end->code, 0);
}

// The credentials dialog, typed at a terminal.

struct CredentialsCase {
  const char* name;
  std::string userNameKeys;
  std::string passwordKeys;  // empty: the dialog ends before the password prompt
  std::string report;
  std::string secret;  // what must never be on the screen
};

TEST(TerminalCredentials, TypedAnswers) {
  const std::vector<CredentialsCase> cases = {
      {"ok", "jan\r", "geheim\r", "credentials ok user=6a616e password=67656865696d", "geheim"},
      {"backspace edits", "jaX" + kBackspace + "n\r", "gehx" + kBackspace + "eim\r",
       "credentials ok user=6a616e password=67656865696d", "geh"},
      {"tab moves to the password", "jan\t", "geheim\r",
       "credentials ok user=6a616e password=67656865696d", "geheim"},
      {"cursor keys neither cancel nor type", "j\x1b[Dan\x1b[A\r", "geheim\r",
       "credentials ok user=6a616e password=67656865696d", "geheim"},
      {"utf-8 typed, windows-1252 returned", "Jos\xC3\xA9\r", "\xE2\x82\xAC\r",
       "credentials ok user=4a6f73e9 password=80", "\xE2\x82\xAC"},
      {"no windows-1252 form, not taken",
       "a\xE4\xB8\xAD"
       "b\r",
       "x\r", "credentials ok user=6162 password=78", ""},
      {"empty entries", "\r", "\r", "credentials ok user= password=", ""},
      {"entries take at most 255 and 20 characters", std::string(260, 'a') + "\r",
       std::string(25, 'b') + "\r",
       "credentials ok user=" + Repeated("61", 255) + " password=" + Repeated("62", 20), "bbbbb"},
      {"end of input at the user name cancels", "jan" + kCtrlD, "",
       "credentials cancel user= password=", ""},
      {"end of input at the password cancels", "jan\r", "geh" + kCtrlD,
       "credentials cancel user= password=", "geh"},
      {"escape at the user name cancels", "jan" + kEscape, "",
       "credentials cancel user= password=", ""},
      {"escape at the password cancels", "jan\r", "geheim" + kEscape,
       "credentials cancel user= password=", "geheim"},
  };
  for (const CredentialsCase& test : cases) {
    SCOPED_TRACE(test.name);
    TerminalProgram program(Driver(), {"credentials"});
    ASSERT_TRUE(program.WaitFor("Gebruikersnaam:"));
    program.Type(test.userNameKeys);
    if (!test.passwordKeys.empty()) {
      ASSERT_TRUE(program.WaitFor("Wachtwoord:"));
      program.Type(test.passwordKeys);
    }
    EXPECT_TRUE(program.WaitFor("driver: " + test.report + "\r\n")) << program.Output();
    ExpectNormalEnd(program.WaitForEnd());
    if (!test.secret.empty()) {
      EXPECT_EQ(program.Output().find(test.secret), std::string::npos) << program.Output();
    }
  }
}

TEST(TerminalCredentials, UserNameIsEchoedAsTyped) {
  TerminalProgram program(Driver(), {"credentials"});
  ASSERT_TRUE(program.WaitFor("Gebruikersnaam:"));
  program.Type("Jos\xC3\xA9");
  EXPECT_TRUE(program.WaitFor("Jos\xC3\xA9"));
  program.Type(kEscape);
  ExpectNormalEnd(program.WaitForEnd());
}

TEST(TerminalSettings, EchoIsOffWhileAskingAndBackAfterwards) {
  for (const bool interrupted : {false, true}) {
    SCOPED_TRACE(interrupted ? "Ctrl-C" : "normal end");
    TerminalProgram program(Driver(), {"credentials"});
    ASSERT_TRUE(program.WaitFor("Gebruikersnaam:"));
    EXPECT_FALSE(program.Echoing());
    EXPECT_FALSE(program.LineAtATime());
    program.Type(interrupted ? "\x03" : kEscape);
    const std::optional<ProgramEnd> end = program.WaitForEnd();
    ASSERT_TRUE(end.has_value());
    if (interrupted) {
      EXPECT_EQ(end->signal, SIGINT);
    }
    EXPECT_TRUE(program.Echoing());
    EXPECT_TRUE(program.LineAtATime());
  }
}

// True once `condition` holds, polled until the timeout.
bool Eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 5s) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

TEST(TerminalSettings, SuspendedProgramLeavesTheShellItsSettingsAndTakesItsOwnBack) {
  TerminalProgram program(Driver(), {"credentials"}, TerminalProgram::Start::kJob);
  ASSERT_TRUE(program.WaitFor("Gebruikersnaam:"));
  program.Type("jan\r");
  ASSERT_TRUE(program.WaitFor("Wachtwoord:"));
  ASSERT_FALSE(program.Echoing());
  program.Type("\x1a");  // Ctrl-Z
  EXPECT_TRUE(Eventually([&] { return program.Echoing(); }));
  program.ContinueForegroundJob();
  EXPECT_TRUE(Eventually([&] { return !program.Echoing(); }));
  program.Type("geheim\r");
  EXPECT_TRUE(program.WaitFor("driver: credentials ok user=6a616e password=67656865696d"));
  ExpectNormalEnd(program.WaitForEnd());
  EXPECT_EQ(program.Output().find("geheim"), std::string::npos) << program.Output();
}

// The progress window, drawn with ANSI sequences.

struct BarCase {
  const char* name;
  bool mirrored;
};

TEST(TerminalProgressWindow, DrawsCaptionMessageAndBarInItsColour) {
  for (const BarCase test : {BarCase{"left to right", false}, BarCase{"mirrored", true}}) {
    SCOPED_TRACE(test.name);
    TerminalProgram program(
        Driver(), {"open", "Window", "run", "message", "Kopi\\xEBren\\r\\nStap 2", "range", "4",
                   "position", "1", "position", "2", "colour", "6A513D", "mirror",
                   test.mirrored ? "on" : "off", "closedown"});
    ExpectNormalEnd(program.WaitForEnd());
    const std::string& screen = program.Output();
    EXPECT_NE(screen.find("\x1b[7m Window"), std::string::npos) << screen;
    EXPECT_NE(screen.find(" Kopi\xC3\xABren\r\n Stap 2\r\n"), std::string::npos) << screen;
    // Each change goes over the previous drawing.
    EXPECT_NE(screen.find("\r\x1b[4A\x1b[J"), std::string::npos) << screen;
    EXPECT_NE(screen.find("driver: run returned"), std::string::npos);

    // The last bar drawn: position 2 of 4 fills half of it, in 0x6A513D = R 61, G 81, B 106.
    const std::regex bar(R"( \[( *)\x1b\[48;2;61;81;106m( +)\x1b\[0m( *)\])");
    std::smatch last;
    for (auto it = std::sregex_iterator(screen.begin(), screen.end(), bar);
         it != std::sregex_iterator(); ++it) {
      last = *it;
    }
    ASSERT_FALSE(last.empty()) << screen;
    const std::string before = last[1];
    const std::string filled = last[2];
    const std::string after = last[3];
    if (test.mirrored) {
      EXPECT_TRUE(after.empty());
      EXPECT_EQ(before.size(), filled.size());
    } else {
      EXPECT_TRUE(before.empty());
      EXPECT_EQ(after.size(), filled.size());
    }
  }
}

TEST(TerminalProgressWindow, ControlCharactersInTextsReachNoTerminal) {
  TerminalProgram program(Driver(), {"open", "Window", "message", "a\\x1b[31mb\\x9Dc", "destroy"});
  ExpectNormalEnd(program.WaitForEnd());
  EXPECT_NE(program.Output().find(" a [31mb c"), std::string::npos) << program.Output();
}

TEST(TerminalProgressWindow, WindowLeftOpenWaitsUntilTheUserClosesIt) {
  const std::vector<std::pair<const char*, std::string>> closings = {{"Enter", "\r"},
                                                                     {"end of input", kCtrlD}};
  for (const auto& [name, key] : closings) {
    SCOPED_TRACE(name);
    TerminalProgram program(
        Driver(), {"open", "Window", "run", "message", "Mislukt", "colour", "FF", "fill"});
    ASSERT_TRUE(program.WaitFor(kCloseHint));
    program.Type("x");  // other keys leave it open
    EXPECT_FALSE(program.WaitFor("driver: run returned", 300ms));
    program.Type(key);
    EXPECT_TRUE(program.WaitFor("driver: run returned"));
    ExpectNormalEnd(program.WaitForEnd());
    EXPECT_NE(program.Output().find("\x1b[48;2;255;0;0m"), std::string::npos);
  }
}

// Message boxes.

struct MessageBoxCase {
  const char* name;
  std::string buttons;
  std::string defaultButton;
  std::string keys;
  std::string answer;
};

TEST(TerminalMessageBox, AnswersWithKeysOrTheDefault) {
  const std::vector<MessageBoxCase> cases = {
      {"Enter takes the default No", "yesno", "no", "\r", "no"},
      {"Enter takes the default Yes", "yesno", "yes", "\r", "yes"},
      {"j is Ja", "yesno", "no", "j", "yes"},
      {"y is yes", "yesno", "no", "Y", "yes"},
      {"n is Nee", "yesno", "yes", "n", "no"},
      {"end of input takes the default", "yesno", "no", kCtrlD, "no"},
      {"escape cannot leave a question unanswered", "yesno", "no", kEscape, ""},
      {"escape closes an OK box", "ok", "ok", kEscape, "ok"},
      {"Enter closes an OK box", "ok", "ok", "\r", "ok"},
  };
  for (const MessageBoxCase& test : cases) {
    SCOPED_TRACE(test.name);
    TerminalProgram program(Driver(), {"messagebox", "Installatie gevonden",
                                       "Installatie gevonden in: \"C:\\BrindleHollows\"|Wilt u "
                                       "deze gebruiken?",
                                       test.buttons, test.defaultButton});
    ASSERT_TRUE(program.WaitFor("(Enter:"));
    program.Type(test.keys);
    if (test.answer.empty()) {
      EXPECT_FALSE(program.WaitFor("driver: answer", 300ms));
      program.Type("j");
      EXPECT_TRUE(program.WaitFor("driver: answer yes"));
    } else {
      EXPECT_TRUE(program.WaitFor("driver: answer " + test.answer + "\r\n")) << program.Output();
    }
    ExpectNormalEnd(program.WaitForEnd());
    EXPECT_NE(program.Output().find(
                  "Installatie gevonden in: \"C:\\BrindleHollows\"\r\nWilt u deze gebruiken?"),
              std::string::npos)
        << program.Output();
  }
}

// The open-file dialog.

TEST(TerminalOpenFile, RejectsAPathThatDoesNotExistAndTakesOneThatDoes) {
  Sandbox sandbox;
  sandbox.WriteFile("C:\\Apps\\Tarvo\\Tarvo.exe", "");
  TerminalProgram program(Driver(), {"openfile", "Selecteer uw Tarvo.exe in de installatie folder",
                                     "Tarvo.exe | *.exe", "H:\\"});
  ASSERT_TRUE(program.WaitFor("Map: H:\\"));
  ASSERT_TRUE(program.WaitFor("Bestandsnaam:"));
  program.Type("C:\\Apps\\Tarvo\\Nergens.exe\r");
  EXPECT_TRUE(program.WaitFor("Bestand niet gevonden: C:\\Apps\\Tarvo\\Nergens.exe"));
  ASSERT_TRUE(program.WaitFor("Bestandsnaam:"));
  program.Type("C:\\Apps\\Tarvo\r");  // a folder: the dialog moves into it
  EXPECT_TRUE(program.WaitFor("Map: C:\\Apps\\Tarvo\\"));
  ASSERT_TRUE(program.WaitFor("Bestandsnaam:"));
  program.Type("tarvo.exe\r");
  EXPECT_TRUE(program.WaitFor("driver: chosen C:\\Apps\\Tarvo\\tarvo.exe\r\n")) << program.Output();
  ExpectNormalEnd(program.WaitForEnd());
}

TEST(TerminalOpenFile, CancelledByAnEmptyNameEscapeOrEndOfInput) {
  Sandbox sandbox;
  for (const std::string& keys : {std::string("\r"), std::string("  \r"), kEscape, kCtrlD}) {
    TerminalProgram program(Driver(), {"openfile", "Selecteer", "", "H:\\"});
    ASSERT_TRUE(program.WaitFor("Bestandsnaam:"));
    program.Type(keys);
    EXPECT_TRUE(program.WaitFor("driver: chosen none")) << program.Output();
    ExpectNormalEnd(program.WaitForEnd());
  }
}

// Plain lines through pipes, for scripts.

TEST(PlainLines, ScriptDrivesAWholeRun) {
  Sandbox sandbox;
  sandbox.WriteFile("C:\\Apps\\Tarvo.exe", "");
  const PipedRun run =
      RunThroughPipes(Driver(),
                      {"open",
                       "Window",
                       "range",
                       "4",
                       "run",
                       "message",
                       "Inloggen op Korvant",
                       "credentials",
                       "messagebox",
                       "Installatie gevonden",
                       "Installatie gevonden in: \"C:\\X\"|Wilt u deze?",
                       "yesno",
                       "no",
                       "colour",
                       "FFFF",
                       "openfile",
                       "Selecteer",
                       "Tarvo.exe | *.exe",
                       "H:\\",
                       "position",
                       "2",
                       "mirror",
                       "on",
                       "colour",
                       "6A513D",
                       "append",
                       "\\r\\nKopi\\xEBren mislukt",
                       "fill",
                       "colour",
                       "FF"},
                      "jan\r\ngeheim\nmaybe\n\nC:\\Apps\\Nergens.exe\nC:/Apps/Tarvo.exe\n\n");
  ExpectNormalEnd(run.end);
  const std::vector<std::string> expected = {
      "[window] Window",
      "driver: opened",
      "[progress] 0/4 colour default",
      "[message] Inloggen op Korvant",
      "[credentials] Gebruikersnaam:",
      "[credentials] Wachtwoord:",
      "[credentials] ok",
      "driver: credentials ok user=6a616e password=67656865696d",
      "[messagebox] Installatie gevonden",
      "[messagebox] | Installatie gevonden in: \"C:\\X\"",
      "[messagebox] | Wilt u deze?",
      "[messagebox] question yes/no default no",
      "[messagebox] question yes/no default no",
      "[answer] no",
      "driver: answer no",
      "[progress] 0/4 colour #FFFF00",
      "[open-file] Selecteer | Tarvo.exe | *.exe | H:\\",
      "[open-file] not found: C:\\Apps\\Nergens.exe",
      "[chosen] C:\\Apps\\Tarvo.exe",
      "driver: chosen C:\\Apps\\Tarvo.exe",
      "[progress] 2/4 colour #FFFF00",
      "[progress] 2/4 colour #FFFF00 mirrored",
      "[progress] 2/4 colour #3D516A mirrored",
      "[message] Inloggen op Korvant",
      "[message+] Kopi\xC3\xABren mislukt",
      "[progress] 1/1 colour #3D516A mirrored",
      "[progress] 1/1 colour #FF0000 mirrored",
      "[close] " + kCloseHint,
      "[closed]",
      "driver: run returned",
  };
  EXPECT_EQ(Lines(run.output), expected) << run.output;
}

TEST(PlainLines, EndOfInputCancelsClosesOrTakesTheDefault) {
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    std::string input;
    std::string lastLine;
  };
  const std::vector<Case> cases = {
      {"credentials without input",
       {"credentials"},
       "",
       "driver: credentials cancel user= password="},
      {"credentials without a password",
       {"credentials"},
       "jan\n",
       "driver: credentials cancel user= password="},
      {"message box", {"messagebox", "C", "T", "yesno", "yes"}, "", "driver: answer yes"},
      {"open-file dialog", {"openfile", "T", "", "H:\\"}, "", "driver: chosen none"},
      {"window left open",
       {"open", "Window", "run", "message", "Mislukt"},
       "",
       "driver: run returned"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    const PipedRun run = RunThroughPipes(Driver(), test.arguments, test.input);
    ExpectNormalEnd(run.end);
    const std::vector<std::string> lines = Lines(run.output);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), test.lastLine) << run.output;
  }
}

TEST(PlainLines, ScriptedEntriesAreCutLikeTypedOnes) {
  const PipedRun run = RunThroughPipes(Driver(), {"credentials"},
                                       std::string(300, 'a') + "\n" + std::string(30, 'b') + "\n");
  ExpectNormalEnd(run.end);
  EXPECT_EQ(Lines(run.output).back(), "driver: credentials ok user=" + Repeated("61", 255) +
                                          " password=" + Repeated("62", 20));
}

TEST(PlainLines, OpenFileResolvesWhatIsTypedAgainstItsFolder) {
  Sandbox sandbox;
  sandbox.WriteFile("C:\\Apps\\Tarvo\\Tarvo.exe", "");
  sandbox.WriteFile("H:\\Tarvo.exe", "");
  struct Case {
    const char* name;
    std::string initialName;
    std::string typed;
    std::string chosen;
  };
  const std::vector<Case> cases = {
      {"a name in the start folder", "C:\\Apps\\Tarvo\\", "Tarvo.exe",
       "C:\\Apps\\Tarvo\\Tarvo.exe"},
      {"forward slashes and quotes", "H:\\", "\"C:/Apps/Tarvo/Tarvo.exe\"",
       "C:\\Apps\\Tarvo\\Tarvo.exe"},
      {"dot-dot within the drive", "C:\\Apps\\Other\\", "..\\Tarvo\\.\\Tarvo.exe",
       "C:\\Apps\\Tarvo\\Tarvo.exe"},
      {"dot-dot never above the root", "H:\\", "..\\..\\Tarvo.exe", "H:\\Tarvo.exe"},
      {"root of the start folder's drive", "C:\\Apps\\", "\\Apps\\Tarvo\\Tarvo.exe",
       "C:\\Apps\\Tarvo\\Tarvo.exe"},
      {"a folder, then a name in it", "H:\\", "C:\\Apps\\Tarvo\nTarvo.exe",
       "C:\\Apps\\Tarvo\\Tarvo.exe"},
      {"a file name as the initial name starts in its folder", "C:\\Apps\\Tarvo\\Tarvo.exe",
       "Tarvo.exe", "C:\\Apps\\Tarvo\\Tarvo.exe"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    const PipedRun run =
        RunThroughPipes(Driver(), {"openfile", "T", "", test.initialName}, test.typed + "\n");
    ExpectNormalEnd(run.end);
    EXPECT_EQ(Lines(run.output).back(), "driver: chosen " + test.chosen) << run.output;
  }
}

TEST(PlainLines, ProgressLinesFollowWholePercents) {
  const PipedRun run = RunThroughPipes(
      Driver(), {"open", "Window", "range", "1000", "steps", "1000", "destroy"}, "");
  ExpectNormalEnd(run.end);
  const std::vector<std::string> lines = Lines(run.output);
  std::vector<std::string> progress;
  for (const std::string& line : lines) {
    if (line.rfind("[progress]", 0) == 0) progress.push_back(line);
  }
  ASSERT_EQ(progress.size(), 101u) << run.output;
  EXPECT_EQ(progress[1], "[progress] 10/1000 colour default");
  EXPECT_EQ(progress.back(), "[progress] 1000/1000 colour default");
}

}  // namespace
}  // namespace korvant::testing
