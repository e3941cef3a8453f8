#include "migrate/archive_commands.h"

#include "migrate/powershell_runner.h"
#include "shared/fixed_text.h"

namespace korvant {

namespace {

// A path between \" and \" on the command line. Backslashes that end the path are doubled: the
// command-line parser would otherwise read "\\\"" as one backslash and the end of the quoted
// text, and PowerShell would get an unterminated string (a folder path such as "C:\X\data\").
std::string Quoted(std::string_view path) {
  std::string quoted = "\\\"";
  quoted.append(path);
  const auto lastOther = path.find_last_not_of('\\');
  const std::size_t trailing =
      lastOther == std::string_view::npos ? path.size() : path.size() - lastOther - 1;
  quoted.append(trailing, '\\');
  quoted.append("\\\"");
  return quoted;
}

void ShowFailure(platform::UserInterface& ui, std::string_view what, std::string_view from,
                 std::string_view to) {
  platform::MessageBoxRequest request;
  request.text = std::string(what) + " of \"" + std::string(from) + "\" to \"" + std::string(to) +
                 "\" failed...";
  request.icon = platform::MessageIcon::kNone;
  request.buttons = platform::MessageButtons::kOk;
  ui.ShowMessageBox(request);
}

}  // namespace

std::string CompressArchiveCommand(std::string_view source, std::string_view archive) {
  return "Compress-Archive -Path " + Quoted(ClipBlanks(source)) + " -DestinationPath " +
         Quoted(ClipBlanks(archive)) + " -CompressionLevel NoCompression -Force";
}

std::string ExpandArchiveCommand(std::string_view archive, std::string_view destination) {
  return "Expand-Archive -Path " + Quoted(ClipBlanks(archive)) + " -DestinationPath " +
         Quoted(ClipBlanks(destination)) + " -Force";
}

std::int32_t CompressArchiveReportingExit(platform::UserInterface& ui, std::string_view source,
                                          std::string_view archive) {
  const std::int32_t exitCode = RunPowerShell(CompressArchiveCommand(source, archive));
  if (exitCode != 0) ShowFailure(ui, "Compression", ClipBlanks(source), ClipBlanks(archive));
  return exitCode;
}

std::string CompressArchive(platform::UserInterface& ui, std::string_view source,
                            std::string_view archive) {
  CompressArchiveReportingExit(ui, source, archive);
  return std::string(archive);
}

std::string CompressFolder(platform::UserInterface& ui, std::string_view folder) {
  const std::string clipped(ClipBlanks(folder));
  return CompressArchive(ui, clipped + "\\*", clipped + ".zip");
}

std::string ExpandArchive(platform::UserInterface& ui, std::string_view archive,
                          std::string_view destination) {
  if (RunPowerShell(ExpandArchiveCommand(archive, destination)) != 0) {
    ShowFailure(ui, "Extraction", ClipBlanks(archive), ClipBlanks(destination));
  }
  return std::string(destination);
}

std::string ExpandZipBeside(platform::UserInterface& ui, std::string_view archive) {
  const std::string_view clipped = ClipBlanks(archive);
  const std::string_view stem = clipped.substr(0, clipped.size() >= 4 ? clipped.size() - 4 : 0);
  return ExpandArchive(ui, clipped, std::string(stem) + "\\");
}

}  // namespace korvant
