#pragma once
// The backup settings kept in Safestow.ini, section PARAMETERS.

#include <filesystem>
#include <string>

#include "ini/IniFile.h"

namespace safestow {

struct ConsoleSettings {
  std::string pathBackup;                    // the backup folder, with its trailing slash
  std::string sizeDirBackup = "100000";      // folder size limit in megabytes, as typed
  std::string userId = "VALMERIS/QUENTARO";  // user name, a slash, the password
  int sizeDayBackup = 31;                    // dumps kept, 1..365
  int typeSizeBackup = 0;                    // 0 keep by count, 1 keep by folder size
  std::string databaseService = "OracleServiceORCL";  // the database server's unit
};

inline constexpr char kSettingsFile[] = "Safestow.ini";
inline constexpr char kSettingsSection[] = "PARAMETERS";

// The default backup folder: Safestow/BackUpDB/ in the user's home.
std::string DefaultBackupPath();
ConsoleSettings LoadConsoleSettings(const pv::ini::IniFile& ini);
// Writes the keys into `ini`; other sections and keys of the file are kept.
void SaveConsoleSettings(pv::ini::IniFile& ini, const ConsoleSettings& settings);
// "dir" and "dir/" both give "dir/".
std::string WithTrailingSlash(const std::string& path);

}  // namespace safestow
