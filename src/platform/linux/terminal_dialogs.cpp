// The modal parts of the terminal front end: the credentials dialog, message boxes and the
// open-file dialog, each typed at the terminal or read line by line from a script.
#include <cctype>

#include "platform/file_system.h"
#include "platform/linux/terminal_file_path.h"
#include "platform/linux/terminal_io.h"
#include "platform/linux/terminal_keys.h"
#include "platform/linux/terminal_ui.h"
#include "platform/user_interface_names.h"
#include "shared/windows1252.h"

namespace korvant::platform {
namespace {

// The dialog's own texts.
constexpr std::string_view kCredentialsCaption = "Caption";
constexpr std::string_view kUserNamePrompt = "Gebruikersnaam:";
constexpr std::string_view kPasswordPrompt = "Wachtwoord:";
constexpr std::size_t kUserNameLength = 255;
constexpr std::size_t kPasswordLength = 20;
constexpr std::size_t kLongestPath = 259;

constexpr std::string_view kBold = "1";
constexpr std::string_view kDim = "2";
constexpr std::string_view kRed = "1;31";

std::string Styled(bool ansi, std::string_view sgr, std::string_view text) {
  if (!ansi) return std::string(text);
  return "\x1b[" + std::string(sgr) + "m" + std::string(text) + "\x1b[0m";
}

std::string CutCharacters(std::string windows1252, std::size_t length) {
  if (windows1252.size() > length) windows1252.resize(length);
  return windows1252;
}

std::string Trimmed(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return std::string(text.substr(begin, end - begin));
}

std::string Lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string_view DutchButtonName(MessageButton button) {
  switch (button) {
    case MessageButton::kYes:
      return "Ja";
    case MessageButton::kNo:
      return "Nee";
    case MessageButton::kCancel:
      return "Annuleren";
    case MessageButton::kOk:
      break;
  }
  return "OK";
}

// The caption's colour tells the icon: red for a stop, yellow for a warning, blue otherwise.
std::string_view IconStyle(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kHand:
      return "1;31";
    case MessageIcon::kExclamation:
      return "1;33";
    case MessageIcon::kQuestion:
    case MessageIcon::kAsterisk:
      return "1;34";
    case MessageIcon::kNone:
      break;
  }
  return kBold;
}

// A yes/no answer typed in a script or at the keyboard; nothing when it is neither.
std::optional<MessageButton> YesOrNo(std::string_view answer) {
  for (std::string_view yes : {"y", "yes", "j", "ja"}) {
    if (answer == yes) return MessageButton::kYes;
  }
  for (std::string_view no : {"n", "no", "nee"}) {
    if (answer == no) return MessageButton::kNo;
  }
  return std::nullopt;
}

// "description|pattern" pairs as "description (pattern)".
std::string FilterText(std::string_view filter) {
  std::string text;
  std::size_t start = 0;
  int part = 0;
  while (start <= filter.size()) {
    std::size_t end = filter.find('|', start);
    if (end == std::string_view::npos) end = filter.size();
    const std::string piece = Trimmed(filter.substr(start, end - start));
    if (part % 2 == 0) {
      if (!text.empty()) text += ", ";
      text += piece;
    } else {
      text += " (" + piece + ")";
    }
    ++part;
    start = end + 1;
  }
  return text;
}

std::string FolderOf(std::string path) {
  if (path.empty() || path.back() != '\\') path += '\\';
  return path;
}

}  // namespace

// The credentials dialog.

CredentialsEntry TerminalUserInterface::RunCredentialsDialog(const SavedPlacement& saved) {
  RestorePlacement(WindowId::kCredentials, saved);
  CredentialsEntry entry = Interactive() ? TypeCredentials() : ReadCredentials();
  entry.opened = true;
  entry.placement = credentialsPlacement_;
  return entry;
}

CredentialsEntry TerminalUserInterface::TypeCredentials() {
  BeginDialog();
  Write(Styled(drawInPlace_, kBold, kCredentialsCaption) + "  " +
        Styled(drawInPlace_, kDim, "(Enter: OK, Esc: Cancel)") + "\n");
  KeyReader keys(input_);
  CredentialsEntry entry;
  entry.end = DialogEnd::kCancel;

  Write(std::string(kUserNamePrompt) + " ");
  const EditedLine userName = EditLine(keys, output_, {true, kUserNameLength, true});
  Write("\n");
  if (userName.end == LineEnd::kEnter || userName.end == LineEnd::kTab) {
    Write(std::string(kPasswordPrompt) + " ");
    // Nothing of the password reaches the screen, not even its length.
    const EditedLine password = EditLine(keys, output_, {false, kPasswordLength, false});
    Write("\n");
    if (password.end == LineEnd::kEnter) {
      entry.end = DialogEnd::kOk;
      entry.userName = Utf8ToWindows1252(userName.text);
      entry.password = Utf8ToWindows1252(password.text);
    }
  }
  if (entry.end != DialogEnd::kOk) Write(Styled(drawInPlace_, kDim, "Cancel") + "\n");
  EndDialog();
  return entry;
}

CredentialsEntry TerminalUserInterface::ReadCredentials() {
  CredentialsEntry entry;
  entry.end = DialogEnd::kCancel;
  Write("[credentials] " + std::string(kUserNamePrompt) + "\n");
  if (const std::optional<std::string> userName = ReadLine(input_)) {
    Write("[credentials] " + std::string(kPasswordPrompt) + "\n");
    if (const std::optional<std::string> password = ReadLine(input_)) {
      entry.end = DialogEnd::kOk;
      // The entry fields take no more than this; a script's longer line is cut like typing is.
      entry.userName = CutCharacters(Utf8ToWindows1252(*userName), kUserNameLength);
      entry.password = CutCharacters(Utf8ToWindows1252(*password), kPasswordLength);
    }
  }
  Write(entry.end == DialogEnd::kOk ? "[credentials] ok\n" : "[credentials] cancel\n");
  return entry;
}

// Message boxes.

MessageButton TerminalUserInterface::ShowMessageBox(const MessageBoxRequest& request) {
  // A default that is not among the buttons falls to the first button, as in a Windows box.
  MessageButton fallback = MessageButton::kOk;
  if (request.buttons == MessageButtons::kYesNo) {
    fallback =
        request.defaultButton == MessageButton::kNo ? MessageButton::kNo : MessageButton::kYes;
  }
  return Interactive() ? PressMessageButton(request, fallback)
                       : ReadMessageButton(request, fallback);
}

MessageButton TerminalUserInterface::PressMessageButton(const MessageBoxRequest& request,
                                                        MessageButton fallback) {
  BeginDialog();
  const bool yesNo = request.buttons == MessageButtons::kYesNo;
  Write(Styled(drawInPlace_, IconStyle(request.icon), DisplayText(request.caption)) + "\n");
  for (const std::string& line : DisplayLines(request.text, '|')) Write(line + "\n");
  const std::string prompt = yesNo ? "[J]a / [N]ee" : "[OK]";
  Write(prompt + " " +
        Styled(drawInPlace_, kDim, "(Enter: " + std::string(DutchButtonName(fallback)) + ")") +
        " ");

  KeyReader keys(input_);
  std::optional<MessageButton> answer;
  while (!answer) {
    const Key key = keys.Next();
    switch (key.kind) {
      case KeyKind::kEnter:
      case KeyKind::kEndOfInput:
        answer = fallback;
        break;
      case KeyKind::kEscape:
        // Escape closes a box only when it has no choice to make.
        if (!yesNo) answer = MessageButton::kOk;
        break;
      case KeyKind::kCharacter:
        if (yesNo) {
          answer = YesOrNo(Lowered(key.character));
        } else if (key.character == " " || Lowered(key.character) == "o") {
          answer = MessageButton::kOk;
        }
        break;
      default:
        break;
    }
    if (!answer && key.kind != KeyKind::kIgnored) Write("\a");
  }
  Write(std::string(DutchButtonName(*answer)) + "\n");
  EndDialog();
  return *answer;
}

MessageButton TerminalUserInterface::ReadMessageButton(const MessageBoxRequest& request,
                                                       MessageButton fallback) {
  const bool yesNo = request.buttons == MessageButtons::kYesNo;
  Write("[messagebox] " + DisplayText(request.caption) + "\n");
  for (const std::string& line : DisplayLines(request.text, '|')) {
    Write("[messagebox] |" + (line.empty() ? std::string() : " " + line) + "\n");
  }
  const std::string question = "[messagebox] " + std::string(IconName(request.icon)) +
                               (yesNo ? " yes/no" : " ok") + " default " +
                               std::string(ButtonName(fallback)) + "\n";
  Write(question);
  std::optional<MessageButton> answer;
  while (!answer) {
    const std::optional<std::string> line = ReadLine(input_);
    const std::string typed = line ? Lowered(Trimmed(*line)) : std::string();
    if (typed.empty()) {
      answer = fallback;
    } else if (!yesNo) {
      answer = MessageButton::kOk;
    } else if (!(answer = YesOrNo(typed))) {
      Write(question);
    }
  }
  Write("[answer] " + std::string(ButtonName(*answer)) + "\n");
  return *answer;
}

// The open-file dialog.

std::optional<std::string> TerminalUserInterface::AskOpenFile(const OpenFileRequest& request) {
  return Interactive() ? TypeFilePath(request) : ReadFilePath(request);
}

std::optional<std::string> TerminalUserInterface::TypeFilePath(const OpenFileRequest& request) {
  BeginDialog();
  Write(Styled(drawInPlace_, kBold, DisplayText(request.title)) + "\n");
  if (!request.filter.empty()) {
    Write("Bestandstype: " + DisplayText(FilterText(request.filter)) + "\n");
  }
  Write(Styled(drawInPlace_, kDim, "(Enter zonder naam of Esc: Annuleren)") + "\n");
  const DialogStart start = StartOfDialog(request.initialName);
  std::string folder = start.folder;
  std::string offered = Windows1252ToUtf8(start.name);
  KeyReader keys(input_);
  std::optional<std::string> chosen;
  bool showFolder = true;
  for (;;) {
    if (showFolder) Write("Map: " + DisplayText(folder) + "\n");
    showFolder = false;
    Write("Bestandsnaam: ");
    const EditedLine typed = EditLine(keys, output_, {true, kLongestPath, false}, offered);
    offered.clear();
    Write("\n");
    if (typed.end != LineEnd::kEnter || Trimmed(typed.text).empty()) break;
    const std::string path = ResolveTypedPath(folder, Utf8ToWindows1252(typed.text));
    if (IsFolder(path)) {
      folder = FolderOf(path);
      showFolder = true;
      continue;
    }
    if (PathExists(path)) {
      chosen = path;
      break;
    }
    Write(Styled(drawInPlace_, kRed, "Bestand niet gevonden: " + DisplayText(path)) + "\n");
  }
  EndDialog();
  return chosen;
}

std::optional<std::string> TerminalUserInterface::ReadFilePath(const OpenFileRequest& request) {
  const DialogStart start = StartOfDialog(request.initialName);
  std::string folder = start.folder;
  Write("[open-file] " + DisplayText(request.title) + " | " + DisplayText(request.filter) + " | " +
        DisplayText(folder) + "\n");
  std::optional<std::string> chosen;
  while (std::optional<std::string> line = ReadLine(input_)) {
    if (Trimmed(*line).empty()) break;
    const std::string path = ResolveTypedPath(folder, Utf8ToWindows1252(*line));
    if (IsFolder(path)) {
      folder = FolderOf(path);
      Write("[open-file] folder: " + DisplayText(folder) + "\n");
    } else if (PathExists(path)) {
      chosen = path;
      break;
    } else {
      Write("[open-file] not found: " + DisplayText(path) + "\n");
    }
  }
  Write("[chosen] " + (chosen ? DisplayText(*chosen) : std::string("cancelled")) + "\n");
  return chosen;
}

}  // namespace korvant::platform
