#include "app/window_placement.h"

#include <charconv>
#include <optional>
#include <string>

namespace korvant {
namespace {

std::optional<bool> ReadYesNo(const platform::IniFile& ini, std::string_view section,
                              std::string_view key) {
  const auto value = ini.Read(section, key);
  if (!value) return std::nullopt;
  return *value == "Yes";
}

std::optional<int> ReadNumber(const platform::IniFile& ini, std::string_view section,
                              std::string_view key) {
  const auto value = ini.Read(section, key);
  if (!value) return std::nullopt;
  int number = 0;
  const auto [end, error] = std::from_chars(value->data(), value->data() + value->size(), number);
  if (error != std::errc() || end == value->data()) return std::nullopt;
  return number;
}

}  // namespace

platform::SavedPlacement ReadSavedPlacement(const platform::IniFile& ini,
                                            std::string_view section) {
  platform::SavedPlacement saved;
  saved.maximize = ReadYesNo(ini, section, "Maximize");
  saved.minimize = ReadYesNo(ini, section, "Minimize");
  saved.x = ReadNumber(ini, section, "XPos");
  saved.y = ReadNumber(ini, section, "YPos");
  saved.width = ReadNumber(ini, section, "Width");
  saved.height = ReadNumber(ini, section, "Height");
  return saved;
}

void RestoreWindowPlacement(platform::UserInterface& ui, platform::WindowId window,
                            const platform::IniFile& ini, std::string_view section) {
  // A missing section changes nothing: the window keeps the platform's default place and size.
  if (!ini.HasSection(section)) return;
  ui.RestorePlacement(window, ReadSavedPlacement(ini, section));
}

void SaveWindowPlacement(platform::IniFile& ini, std::string_view section,
                         const platform::WindowPlacement& placement) {
  // A file that cannot be written (a read-only folder) simply keeps nothing.
  ini.Write(section, "Maximize", placement.maximized ? "Yes" : "No");
  ini.Write(section, "Minimize", placement.minimized ? "Yes" : "No");
  const bool normal = !placement.maximized && !placement.minimized;
  if (normal) {
    ini.Write(section, "XPos", std::to_string(placement.x));
    ini.Write(section, "YPos", std::to_string(placement.y));
  } else {
    ini.DeleteKey(section, "XPos");
    ini.DeleteKey(section, "YPos");
  }
  if (normal && placement.resizable) {
    ini.Write(section, "Width", std::to_string(placement.width));
    ini.Write(section, "Height", std::to_string(placement.height));
  } else {
    ini.DeleteKey(section, "Width");
    ini.DeleteKey(section, "Height");
  }
}

}  // namespace korvant
