#include "platform/user_interface_names.h"

namespace korvant::platform {

std::string_view ButtonName(MessageButton button) {
  switch (button) {
    case MessageButton::kOk:
      return "ok";
    case MessageButton::kYes:
      return "yes";
    case MessageButton::kNo:
      return "no";
    case MessageButton::kCancel:
      return "cancel";
  }
  return "ok";
}

std::string_view IconName(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kHand:
      return "hand";
    case MessageIcon::kQuestion:
      return "question";
    case MessageIcon::kExclamation:
      return "exclamation";
    case MessageIcon::kAsterisk:
      return "asterisk";
    case MessageIcon::kNone:
      break;
  }
  return "none";
}

}  // namespace korvant::platform
