#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvant::platform {

// A variable of the process environment, or nothing when it is not set.
std::optional<std::string> EnvironmentValue(std::string_view name);

}  // namespace korvant::platform
