#pragma once

#include <cstdint>

#include "platform/ini_file.h"
#include "shared/fixed_text.h"

namespace korvant {

// The workflow's state record: one per run of the progress window, passed by reference to every
// workflow routine.
struct InstallSession {
  FixedText<256> TransferFolder;
  FixedText<16> InstallTag;
  FixedText<512> Credentials;
  FixedText<256> UserName;
  FixedText<256> Password;
  FixedText<256> TransferError;
  std::int32_t MigrationIncomplete = 0;
  std::int32_t CopyErrorCode = 0;
  platform::IniFile ConnectionIni;  // bound to no file until the migration edits Connection.ini
};

}  // namespace korvant
