#include "platform/environment.h"

#include <stdlib.h>

namespace korvant::platform {

std::optional<std::string> EnvironmentValue(std::string_view name) {
  const char* value = getenv(std::string(name).c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

}  // namespace korvant::platform
