#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/user_interface.h"

namespace korvant {

// One client the cloud connection needs: installed when its detection file exists, otherwise
// installed by running its setup silently.
struct Prerequisite {
  std::string_view detectionFile;
  std::string_view setup;
  std::string_view failureText;
};

// In the order they are handled.
inline constexpr std::array<Prerequisite, 2> PrerequisiteTable = {{
    {"C:\\Program Files (x86)\\Connection Client\\RemoteApp\\RemoteAppClient.exe",
     "C:\\Korvant\\Setup-RemoteAppClient.exe",
     "Installatie van \"Setup-RemoteAppClient.exe\" mislukt"},
    {"C:\\Windows\\System32\\vpprint.exe", "C:\\Korvant\\Setup-VirtualPrinter-Client.exe",
     "Installatie van \"Setup-VirtualPrinter-Client.exe\" mislukt"},
}};

inline constexpr std::string_view kSetupArguments = " /VERYSILENT /ALLUSERS";

// Installs every missing client, in order, stopping at the first setup that fails; the failure is
// reported in the progress window. True on success.
bool InstallPrerequisites(platform::UserInterface& ui);

// Runs one setup silently and waits for it: its exit code, -4 when it could not be started (then
// `startError` receives the Windows error code), or 0 when the setup file is missing (after
// telling the user).
std::int32_t RunPrerequisiteSetup(platform::UserInterface& ui, std::string_view setupPath,
                                  std::uint32_t* startError = nullptr);

}  // namespace korvant
