#include "migrate/shell_copy.h"

#include "migrate/text_tests.h"
#include "platform/shell_file_copy.h"
#include "platform/windows_errors.h"
#include "shared/fixed_text.h"

namespace korvant {

namespace {
// Each path travels in 256 characters that end in two NULs.
constexpr std::size_t kLongestPath = 254;
}  // namespace

int ShellCopy(std::string_view source, std::string_view destination) {
  const std::string_view from = ClipBlanks(source);
  const std::string_view to = ClipBlanks(destination);
  // A longer path would lose its end and name another file or folder: refuse it rather than copy
  // the wrong thing.
  if (from.size() > kLongestPath || to.size() > kLongestPath) {
    return static_cast<int>(platform::kErrorFilenameExcedRange);
  }
  std::uint32_t flags =
      platform::kFofNoConfirmation | platform::kFofAllowUndo | platform::kFofNoConfirmMkdir;
  if (EndsWithText(from, "*.*") != 0) flags |= platform::kFofFilesOnly | platform::kFofNoRecursion;
  return platform::ShellFileCopy(from, to, flags);
}

}  // namespace korvant
