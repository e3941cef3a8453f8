#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/sandbox.h"

namespace korvant::platform {
namespace {

namespace fs = std::filesystem;

TEST(ListPlainFiles, GivesOnlyPlainVisibleFilesInNameOrder) {
  testing::Sandbox sandbox;
  sandbox.WriteFile(R"(C:\Korvant\.transfer\pdf.zip)", "p");
  sandbox.WriteFile(R"(C:\Korvant\.transfer\Connection.ini)", "c");
  sandbox.WriteFile(R"(C:\Korvant\.transfer\data.zip)", "d");
  sandbox.WriteFile(R"(C:\Korvant\.transfer\.hidden)", "h");
  sandbox.WriteFile("C:\\Korvant\\.transfer\\\xC9t\xE9.txt", "e");
  sandbox.WriteFile(R"(C:\Korvant\.transfer\data\inner.txt)", "i");
  EXPECT_EQ(ListPlainFiles(R"(C:\Korvant\.transfer)"),
            (std::vector<std::string>{"Connection.ini", "data.zip", "pdf.zip", "\xC9t\xE9.txt"}));
  EXPECT_TRUE(ListPlainFiles(R"(C:\Missing)").empty());
}

TEST(FileSystem, ExistsAndRemovesAsWindowsDoes) {
  testing::Sandbox sandbox;
  sandbox.WriteFile(R"(C:\Korvant\.transfer\a.txt)", "a");
  EXPECT_TRUE(PathExists(R"(C:\Korvant)"));
  EXPECT_TRUE(PathExists(R"(c:\korvant\.TRANSFER\A.TXT   )"));
  EXPECT_TRUE(IsFolder(R"(C:\Korvant\.transfer)"));
  EXPECT_FALSE(RemoveFile(R"(C:\Korvant\.transfer)"));         // a folder is no file
  EXPECT_FALSE(RemoveEmptyFolder(R"(C:\Korvant\.transfer)"));  // not empty yet
  EXPECT_TRUE(RemoveFile(R"(C:\Korvant\.transfer\a.txt)"));
  EXPECT_FALSE(RemoveFile(R"(C:\Korvant\.transfer\a.txt)"));
  EXPECT_TRUE(RemoveEmptyFolder(R"(C:\Korvant\.transfer)"));
  EXPECT_FALSE(PathExists(R"(C:\Korvant\.transfer)"));
}

TEST(MoveFileReplacing, TakesTheNewNameAndReplacesWhatWasThere) {
  testing::Sandbox sandbox;
  sandbox.WriteFile(R"(C:\Korvant\.transfer\data.partial.zip)", "new");
  sandbox.WriteFile(R"(C:\Korvant\.transfer\data.zip)", "old");
  sandbox.WriteFile(R"(C:\Korvant\.transfer\sub\x)", "x");
  EXPECT_EQ(MoveFileReplacing(R"(C:\Korvant\.transfer\data.partial.zip)",
                              R"(C:\Korvant\.transfer\data.zip)"),
            0u);
  EXPECT_EQ(testing::Sandbox::ReadFile(sandbox.Host(R"(C:\Korvant\.transfer\data.zip)")), "new");
  EXPECT_FALSE(PathExists(R"(C:\Korvant\.transfer\data.partial.zip)"));
  EXPECT_EQ(MoveFileReplacing(R"(C:\Korvant\.transfer\gone.zip)", R"(C:\Korvant\x.zip)"), 2u);
  EXPECT_EQ(MoveFileReplacing(R"(C:\Korvant\.transfer\sub)", R"(C:\Korvant\sub2)"), 5u);
}

}  // namespace
}  // namespace korvant::platform
