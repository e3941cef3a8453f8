#include "platform/linux/powershell/powershell_command.h"

#include "shared/windows1252.h"

namespace korvant::powershell {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         EqualIgnoringCase1252(text.substr(0, prefix.size()), prefix);
}

// One word of the command and whether it was quoted (a quoted "-x" is a value, not a parameter).
struct Word {
  std::string text;
  bool quoted = false;
  bool parameter = false;  // began with an unquoted "-"
};

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  // The words of the one statement, or the reason the text is refused.
  std::optional<std::vector<Word>> Words(std::string& error) {
    std::vector<Word> words;
    for (;;) {
      while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
      if (pos_ >= text_.size()) return words;
      Word word;
      if (!ReadWord(word, error)) return std::nullopt;
      words.push_back(std::move(word));
    }
  }

 private:
  bool ReadWord(Word& word, std::string& error) {
    bool any = false;
    word.parameter = pos_ < text_.size() && text_[pos_] == '-';
    while (pos_ < text_.size() && !IsBlank(text_[pos_])) {
      const char c = text_[pos_];
      if (c == '\'') {
        if (!ReadSingleQuoted(word.text, error)) return false;
        word.quoted = true;
      } else if (c == '"') {
        if (!ReadDoubleQuoted(word.text, error)) return false;
        word.quoted = true;
      } else if (c == '`') {
        if (++pos_ >= text_.size()) return Fail(error, "the escape character ends the command");
        word.text.push_back(text_[pos_++]);
      } else if (std::string_view(";|&\r\n").find(c) != std::string_view::npos) {
        return Fail(error, "only one command is carried out; \"" + std::string(1, c) +
                               "\" starts another or a pipeline");
      } else if (std::string_view("$(){}<>,").find(c) != std::string_view::npos ||
                 (c == '@' && !any)) {
        return Fail(error, "variables, expressions, lists and redirections are not supported");
      } else {
        word.text.push_back(c);
        ++pos_;
      }
      any = true;
    }
    return true;
  }

  bool ReadSingleQuoted(std::string& out, std::string& error) {
    ++pos_;
    for (; pos_ < text_.size(); ++pos_) {
      if (text_[pos_] == '\'') {
        if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
          out.push_back('\'');
          ++pos_;
          continue;
        }
        ++pos_;
        return true;
      }
      out.push_back(text_[pos_]);
    }
    return Fail(error, "the string is missing its terminator: '");
  }

  bool ReadDoubleQuoted(std::string& out, std::string& error) {
    ++pos_;
    for (; pos_ < text_.size(); ++pos_) {
      const char c = text_[pos_];
      if (c == '"') {
        if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '"') {
          out.push_back('"');
          ++pos_;
          continue;
        }
        ++pos_;
        return true;
      }
      if (c == '`') {
        if (++pos_ >= text_.size()) break;
        out.push_back(Escaped(text_[pos_]));
        continue;
      }
      if (c == '$' && pos_ + 1 < text_.size() && !IsBlank(text_[pos_ + 1]) &&
          text_[pos_ + 1] != '"') {
        // PowerShell would put a variable's value here; a path would silently change.
        return Fail(error, "variables inside double-quoted strings are not supported");
      }
      out.push_back(c);
    }
    return Fail(error, "the string is missing its terminator: \"");
  }

  static char Escaped(char c) {
    switch (c) {
      case '0':
        return '\0';
      case 'a':
        return '\a';
      case 'b':
        return '\b';
      case 'f':
        return '\f';
      case 'n':
        return '\n';
      case 'r':
        return '\r';
      case 't':
        return '\t';
      case 'v':
        return '\v';
      default:
        return c;
    }
  }

  static bool Fail(std::string& error, std::string why) {
    error = std::move(why);
    return false;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

Invocation ReadInvocation(const std::vector<std::string>& arguments) {
  static const std::vector<std::string_view> kOptions = {
      "Command", "WindowStyle", "NoProfile", "NonInteractive", "NoLogo", "ExecutionPolicy"};
  Invocation result;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument.size() < 2 || (argument[0] != '-' && argument[0] != '/')) {
      result.error = "unexpected argument \"" + argument + "\"; expected -Command";
      return result;
    }
    const auto option = MatchParameter(std::string_view(argument).substr(1), kOptions);
    if (!option) {
      result.error = "unknown option \"" + argument + "\"";
      return result;
    }
    if (*option == "Command") {
      std::string text;
      for (std::size_t j = i + 1; j < arguments.size(); ++j) {
        if (j > i + 1) text.push_back(' ');
        text.append(arguments[j]);
      }
      result.commandText = std::move(text);
      return result;
    }
    if (*option == "WindowStyle" || *option == "ExecutionPolicy") {
      if (++i >= arguments.size()) {
        result.error = "the option " + argument + " needs a value";
        return result;
      }
    }
  }
  result.error = "no -Command given";
  return result;
}

ParseResult ParseCommand(std::string_view text) {
  ParseResult result;
  Reader reader(text);
  const auto words = reader.Words(result.error);
  if (!words) return result;
  if (words->empty()) {
    result.error = "the command is empty";
    return result;
  }
  Command command;
  command.name = (*words)[0].text;
  for (std::size_t i = 1; i < words->size(); ++i) {
    const Word& word = (*words)[i];
    if (!word.parameter || word.text.size() < 2) {
      command.positional.push_back(word.text);
      continue;
    }
    NamedArgument named;
    const auto colon = word.text.find(':');
    if (colon != std::string::npos) {
      named.name = word.text.substr(1, colon - 1);
      named.value = word.text.substr(colon + 1);
    } else {
      named.name = word.text.substr(1);
      // A value follows unless the next word is a parameter itself; the cmdlet decides later
      // whether the parameter is a switch and gives the value back then.
      if (i + 1 < words->size()) {
        const Word& next = (*words)[i + 1];
        if (!next.parameter || next.text.size() < 2) {
          named.value = next.text;
          ++i;
        }
      }
    }
    command.named.push_back(std::move(named));
  }
  result.command = std::move(command);
  return result;
}

std::optional<std::string> MatchParameter(std::string_view given,
                                          const std::vector<std::string_view>& parameters) {
  std::optional<std::string> found;
  for (const auto parameter : parameters) {
    if (given.size() == parameter.size() && EqualIgnoringCase1252(given, parameter)) {
      return std::string(parameter);
    }
    if (!given.empty() && StartsWithIgnoringCase(parameter, given)) {
      if (found) return std::nullopt;  // ambiguous
      found = std::string(parameter);
    }
  }
  return found;
}

}  // namespace korvant::powershell
