// Performs a scripted sequence of operations on the terminal front end, so that tests can run it
// under a pseudo-terminal or through pipes and read what it draws. Commands, one after the other:
//   open <caption> | destroy | message <text> | append <text> | range <n> | position <n>
//   steps <n> (positions 1..n) | colour <hex> | mirror on|off | fill | closedown
//   credentials | messagebox <caption> <text> <ok|yesno> <ok|yes|no> [hand|question]
//   openfile <title> <filter> <initial name>
//   run: the commands after it make up the window's opened event
// Texts take "\r", "\n" and "\xHH" escapes. What the dialogs return is reported on lines that
// start with "driver: ", the typed texts in hexadecimal Windows-1252 bytes.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/linux/terminal_io.h"
#include "platform/linux/terminal_ui.h"

namespace {

using korvant::platform::TerminalUserInterface;
namespace platform = korvant::platform;

std::string Unescaped(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      const char next = text[i + 1];
      if (next == 'r' || next == 'n') {
        out += next == 'r' ? '\r' : '\n';
        ++i;
        continue;
      }
      if (next == 'x' && i + 3 < text.size()) {
        out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
        i += 3;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

std::string Hex(const std::string& bytes) {
  std::string hex;
  char digits[3];
  for (const char c : bytes) {
    std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(c));
    hex += digits;
  }
  return hex;
}

void Report(const std::string& line) {
  platform::WriteAll(STDOUT_FILENO, "driver: " + line + "\n");
}

platform::MessageButton ButtonNamed(const std::string& name) {
  if (name == "yes") return platform::MessageButton::kYes;
  if (name == "no") return platform::MessageButton::kNo;
  return platform::MessageButton::kOk;
}

std::string ButtonName(platform::MessageButton button) {
  switch (button) {
    case platform::MessageButton::kYes:
      return "yes";
    case platform::MessageButton::kNo:
      return "no";
    case platform::MessageButton::kCancel:
      return "cancel";
    case platform::MessageButton::kOk:
      break;
  }
  return "ok";
}

std::string EndName(platform::DialogEnd end) {
  switch (end) {
    case platform::DialogEnd::kOk:
      return "ok";
    case platform::DialogEnd::kCancel:
      return "cancel";
    case platform::DialogEnd::kClosed:
      break;
  }
  return "closed";
}

class Script {
 public:
  Script(TerminalUserInterface& ui, std::vector<std::string> words)
      : ui_(ui), words_(std::move(words)) {}

  void Perform() {
    while (next_ < words_.size()) {
      const std::string command = Take();
      if (command == "run") {
        ui_.RunProgressWindow([this] { Perform(); });
        Report("run returned");
      } else {
        PerformOne(command);
      }
    }
  }

 private:
  std::string Take() {
    if (next_ >= words_.size()) {
      std::fprintf(stderr, "driver: missing argument\n");
      std::exit(2);
    }
    return words_[next_++];
  }
  std::string TakeText() { return Unescaped(Take()); }
  int TakeNumber() { return std::stoi(Take()); }

  void PerformOne(const std::string& command) {
    if (command == "open") {
      Report(ui_.OpenProgressWindow(TakeText()) ? "opened" : "not opened");
    } else if (command == "destroy") {
      ui_.DestroyProgressWindow();
    } else if (command == "message") {
      ui_.SetMessage(TakeText());
    } else if (command == "append") {
      ui_.AppendMessage(TakeText());
    } else if (command == "range") {
      ui_.SetProgressRange(TakeNumber());
    } else if (command == "position") {
      ui_.SetProgressPosition(TakeNumber());
    } else if (command == "steps") {
      const int steps = TakeNumber();
      for (int position = 1; position <= steps; ++position) ui_.SetProgressPosition(position);
    } else if (command == "colour") {
      ui_.SetProgressBarColour(static_cast<std::uint32_t>(std::stoul(Take(), nullptr, 16)));
    } else if (command == "mirror") {
      ui_.MirrorProgressBar(Take() == "on");
    } else if (command == "fill") {
      ui_.FillProgressBar();
    } else if (command == "closedown") {
      ui_.PostCloseDown();
    } else if (command == "credentials") {
      const platform::CredentialsEntry entry = ui_.RunCredentialsDialog({});
      Report("credentials " + EndName(entry.end) + " user=" + Hex(entry.userName) +
             " password=" + Hex(entry.password));
    } else if (command == "messagebox") {
      platform::MessageBoxRequest request;
      request.caption = TakeText();
      request.text = TakeText();
      request.buttons =
          Take() == "yesno" ? platform::MessageButtons::kYesNo : platform::MessageButtons::kOk;
      request.defaultButton = ButtonNamed(Take());
      request.icon = platform::MessageIcon::kQuestion;
      Report("answer " + ButtonName(ui_.ShowMessageBox(request)));
    } else if (command == "openfile") {
      platform::OpenFileRequest request;
      request.title = TakeText();
      request.filter = TakeText();
      request.initialName = TakeText();
      const std::optional<std::string> chosen = ui_.AskOpenFile(request);
      Report("chosen " + (chosen ? *chosen : std::string("none")));
    } else {
      std::fprintf(stderr, "driver: unknown command %s\n", command.c_str());
      std::exit(2);
    }
  }

  TerminalUserInterface& ui_;
  std::vector<std::string> words_;
  std::size_t next_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  TerminalUserInterface ui;
  Script(ui, std::vector<std::string>(argv + 1, argv + argc)).Perform();
  return 0;
}
