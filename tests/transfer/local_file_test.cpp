#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/windows_errors.h"
#include "support/sandbox.h"
#include "trace_capture.h"
#include "transfer/curl_callbacks.h"
#include "transfer/local_file_class.h"

namespace korvant {
namespace {

TEST(LocalFile, WritesLazilyAndReadsBack) {
  testing::Sandbox sandbox;
  sandbox.WriteFile("C:\\Korvant\\keep.txt", "old content");
  TLocalFileClass stream;
  stream.Init("C:\\Korvant\\keep.txt   ");
  EXPECT_EQ(stream.GetFileName(), "C:\\Korvant\\keep.txt");
  EXPECT_EQ(testing::Sandbox::ReadFile(sandbox.Host("C:\\Korvant\\keep.txt")), "old content");

  char block[] = "new";
  EXPECT_EQ(WriteToFileCallback(block, 1, 3, &stream), 3u);
  EXPECT_EQ(WriteToFileCallback(block, 1, 3, &stream), 3u);
  EXPECT_EQ(stream.FPOSITION, 6);
  EXPECT_TRUE(stream.Close());
  EXPECT_EQ(testing::Sandbox::ReadFile(sandbox.Host("C:\\Korvant\\keep.txt")), "newnew");

  TLocalFileClass reader;
  reader.Init("C:\\Korvant\\keep.txt");
  char buffer[16] = {};
  EXPECT_EQ(ReadFromFileCallback(buffer, 1, sizeof buffer, &reader), 6u);
  EXPECT_EQ(std::string(buffer, 6), "newnew");
  EXPECT_EQ(ReadFromFileCallback(buffer, 1, sizeof buffer, &reader), 0u);  // end of file
}

TEST(LocalFile, FailuresAreTracedAndReportedToLibcurl) {
  testing::Sandbox sandbox;
  testing::TraceCapture trace;
  TLocalFileClass missingFolder;
  missingFolder.Init("C:\\Nergens\\a.txt");
  char block[] = "x";
  EXPECT_EQ(WriteToFileCallback(block, 1, 1, &missingFolder), kCallbackFailure);
  EXPECT_EQ(missingFolder.LastError(), platform::kErrorPathNotFound);

  TLocalFileClass missingFile;
  missingFile.Init("C:\\Korvant\\weg.txt");
  std::filesystem::create_directories(sandbox.Host("C:\\Korvant"));
  EXPECT_EQ(ReadFromFileCallback(block, 1, 1, &missingFile), kCallbackFailure);
  EXPECT_EQ(missingFile.LastError(), platform::kErrorFileNotFound);

  TLocalFileClass folder;
  folder.Init("C:\\Korvant");
  EXPECT_EQ(ReadFromFileCallback(block, 1, 1, &folder), kCallbackFailure);
  EXPECT_EQ(folder.LastError(), platform::kErrorAccessDenied);

  EXPECT_EQ(trace.Lines(), (std::vector<std::string>{
                               "[libcurl] CreateFile(C:\\Nergens\\a.txt) error",
                               "[libcurl] OpenFile(C:\\Korvant\\weg.txt error",
                               "[libcurl] OpenFile(C:\\Korvant error",
                           }));
  EXPECT_FALSE(std::filesystem::exists(sandbox.Host("C:\\Korvant\\weg.txt")));
}

TEST(LocalFile, WithoutAStreamDataIsDroppedButNothingIsRead) {
  char block[8] = {};
  EXPECT_EQ(WriteToFileCallback(block, 2, 4, nullptr), 8u);
  EXPECT_EQ(ReadFromFileCallback(block, 1, 8, nullptr), kCallbackFailure);
  EXPECT_EQ(WriteToBufferCallback(block, 1, 8, nullptr), kCallbackFailure);
  std::string buffer = "ab";
  char more[] = "cd";
  EXPECT_EQ(WriteToBufferCallback(more, 1, 2, &buffer), 2u);
  EXPECT_EQ(buffer, "abcd");
  EXPECT_EQ(ChunkEndCallback(nullptr), 0);
  EXPECT_EQ(ProgressCallback(nullptr, 1, 2, 3, 4), 0);
}

TEST(LocalFile, NameIsCutAndANeverOpenedStreamClosesQuietly) {
  testing::TraceCapture trace;
  TLocalFileClass stream;
  stream.Init("C:\\" + std::string(300, 'a'));
  EXPECT_EQ(stream.GetFileName().size(), 259u);
  EXPECT_TRUE(stream.Close());
  EXPECT_TRUE(trace.Lines().empty());
}

}  // namespace
}  // namespace korvant
