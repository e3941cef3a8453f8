#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/linux/powershell/powershell_cmdlets.h"
#include "support/sandbox.h"

namespace korvant::powershell {
namespace {

namespace fs = std::filesystem;

// Found by the PowerShell command fuzzer: "`0" in a double-quoted path is a NUL character. The
// host cuts the path there, so "C:\Tarvo\`0data\*" lists C:\Tarvo while every item found keeps
// the NUL, names C:\Tarvo again, and Compress-Archive recurses until the stack runs out. PowerShell
// refuses such a path ("Illegal characters in path"); so must the stand-in, for every cmdlet.
TEST(PowershellRegression, APathWithANulIsRefused) {
  testing::Sandbox sandbox;
  sandbox.WriteFile("C:\\Tarvo\\Connection.ini", "[Server]\r\n");
  sandbox.WriteFile("C:\\Tarvo\\data\\a.dat", "a");
  const std::string commands[] = {
      "Compress-Archive -Path \"C:\\Tarvo\\`0data\\*\" -DestinationPath \"C:\\Tarvo\\data.zip\" "
      "-CompressionLevel NoCompression -Force",
      "New-Item -ItemType Directory -Force -Path \"C:\\Korvant`0\\x\"",
      "Expand-Archive -Path \"C:\\Tarvo\\data.zip\" -DestinationPath \"C:\\Out`0\" -Force",
  };
  for (const auto& command : commands) {
    SCOPED_TRACE(command);
    std::string errors;
    EXPECT_EQ(RunPowershell({"-WindowStyle", "Normal", "-Command", command}, errors), 1);
    EXPECT_FALSE(errors.empty());
  }
  EXPECT_FALSE(fs::exists(sandbox.Host("C:\\Tarvo\\data.zip")));
  EXPECT_FALSE(fs::exists(sandbox.Host("C:\\Korvant")));
  EXPECT_FALSE(fs::exists(sandbox.Host("C:\\Out")));
}

}  // namespace
}  // namespace korvant::powershell
