#include "support/tree_snapshot.h"

#include "support/sandbox.h"

namespace korvant::testing {

namespace fs = std::filesystem;

TreeSnapshot SnapshotTree(const fs::path& folder) {
  TreeSnapshot snapshot;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string relative = fs::relative(entry.path(), folder).string();
    const auto perms = static_cast<unsigned>(entry.symlink_status().permissions());
    std::string value = "mode " + std::to_string(perms) + " ";
    if (entry.is_regular_file()) {
      value += "file " + Sandbox::ReadFile(entry.path());
    } else if (entry.is_directory()) {
      value += "folder";
    } else {
      value += "other";
    }
    snapshot[relative] = value;
  }
  return snapshot;
}

}  // namespace korvant::testing
