#include "ConsoleSettings.h"

#include <cstdlib>

namespace safestow {

std::string DefaultBackupPath() {
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + "/Safestow/BackUpDB/";
}

std::string WithTrailingSlash(const std::string& path) {
  if (path.empty() || path.back() == '/') return path;
  return path + "/";
}

ConsoleSettings LoadConsoleSettings(const pv::ini::IniFile& ini) {
  ConsoleSettings s;
  s.pathBackup = ini.ReadString(kSettingsSection, "PathBackup", DefaultBackupPath());
  s.sizeDirBackup = ini.ReadString(kSettingsSection, "SizeDIRBackup", s.sizeDirBackup);
  s.userId = ini.ReadString(kSettingsSection, "UserID", s.userId);
  s.sizeDayBackup = ini.ReadInteger(kSettingsSection, "SizeDAYBackup", s.sizeDayBackup);
  s.typeSizeBackup = ini.ReadInteger(kSettingsSection, "TypeSizeBackup", s.typeSizeBackup);
  s.databaseService = ini.ReadString(kSettingsSection, "DatabaseService", s.databaseService);
  return s;
}

void SaveConsoleSettings(pv::ini::IniFile& ini, const ConsoleSettings& s) {
  ini.WriteString(kSettingsSection, "PathBackup", s.pathBackup);
  ini.WriteString(kSettingsSection, "SizeDIRBackup", s.sizeDirBackup);
  ini.WriteString(kSettingsSection, "UserID", s.userId);
  ini.WriteInteger(kSettingsSection, "SizeDAYBackup", s.sizeDayBackup);
  ini.WriteInteger(kSettingsSection, "TypeSizeBackup", s.typeSizeBackup);
  ini.WriteString(kSettingsSection, "DatabaseService", s.databaseService);
}

}  // namespace safestow
