#include "platform/system_error_text.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace korvant::platform {

namespace {

struct SystemText {
  std::uint32_t code;
  std::string_view text;
};

// The system's English texts for every code this host's layer reports, in the one-line form
// that the maximum-width flag gives (a message's line break becomes a blank).
constexpr std::array kSystemTexts = {
    SystemText{1, "Incorrect function. "},
    SystemText{2, "The system cannot find the file specified. "},
    SystemText{3, "The system cannot find the path specified. "},
    SystemText{4, "The system cannot open the file. "},
    SystemText{5, "Access is denied. "},
    SystemText{6, "The handle is invalid. "},
    SystemText{8, "Not enough memory resources are available to process this command. "},
    SystemText{13, "The data is invalid. "},
    SystemText{19, "The media is write protected. "},
    SystemText{32,
               "The process cannot access the file because it is being used by another process. "},
    SystemText{39, "The disk is full. "},
    SystemText{50, "The request is not supported. "},
    SystemText{80, "The file exists. "},
    SystemText{87, "The parameter is incorrect. "},
    SystemText{112, "There is not enough space on the disk. "},
    SystemText{123, "The filename, directory name, or volume label syntax is incorrect. "},
    SystemText{145, "The directory is not empty. "},
    SystemText{183, "Cannot create a file when that file already exists. "},
    SystemText{193, "%1 is not a valid Win32 application. "},
    SystemText{206, "The filename or extension is too long. "},
    SystemText{267, "The directory name is invalid. "},
    SystemText{740, "The requested operation requires elevation. "},
    SystemText{1117, "The request could not be performed because of an I/O device error. "},
    SystemText{1223, "The operation was canceled by the user. "},
    SystemText{1921, "The name of the file cannot be resolved by the system. "},
};

}  // namespace

std::string SystemMessage(std::uint32_t code, std::size_t capacity) {
  const auto found = std::find_if(kSystemTexts.begin(), kSystemTexts.end(),
                                  [code](const SystemText& entry) { return entry.code == code; });
  if (found == kSystemTexts.end()) return {};
  return std::string(found->text.substr(0, capacity));
}

}  // namespace korvant::platform
