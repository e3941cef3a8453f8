#include "shared/program_globals.h"

#include <utility>

namespace korvant {

ProgramGlobals& Globals() {
  static ProgramGlobals globals;
  return globals;
}

void InitialiseGlobals(std::string programPath) {
  ProgramGlobals& g = Globals();
  g.FoundInstallPath.Clear();
  g.ProgramPath = std::move(programPath);
  for (auto& path : g.CandidatePaths) path.Clear();
  g.CandidatePaths[0] = "\\\\TSCLIENT\\C\\Marquelstan\\Software\\Tarvo.exe";
  g.CandidatePaths[1] = "C:\\Marquelstan\\Software\\Tarvo.exe";
  g.CandidatePaths[2] = "\\\\TSCLIENT\\C\\BrindleHollows\\Tarvo\\Tarvo.exe";
  g.CandidatePaths[3] = "C:\\BrindleHollows\\Tarvo\\Tarvo.exe";
  for (auto& item : g.UploadItems) item.Clear();
  g.UploadItems[0] = "Connection.ini";
  g.UploadItems[1] = "data";
  g.UploadItems[2] = "pdf";
}

}  // namespace korvant
