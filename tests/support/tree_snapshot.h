#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace korvant::testing {

// Every file and folder below a folder with its content and permissions, to show that a user's
// installation was left exactly as it was.
using TreeSnapshot = std::map<std::string, std::string>;
TreeSnapshot SnapshotTree(const std::filesystem::path& folder);

}  // namespace korvant::testing
