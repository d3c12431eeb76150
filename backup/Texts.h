#pragma once
// Every text Safestow shows or writes, in one place. The Russian texts are kept exactly as the
// program has always shown them, misspellings included: users and their scripts know them.
// "\r" is the line break of a balloon.

namespace safestow::texts {

// Program and service
inline constexpr char kServiceName[] = "SafestowService";
inline constexpr char kServiceDisplayName[] = "Backup Valmeris Service";
inline constexpr char kServiceDescription[] = "Утилита резервного корирования базы данных Valmeris";
inline constexpr char kDatabaseService[] = "OracleServiceORCL";
inline constexpr char kExportProgram[] = "exp";
inline constexpr char kDeveloperSite[] = "https://www.valmeris.example/";

// Tray icon and its menu
inline constexpr char kTrayHint[] = "Backup Valmeris";
inline constexpr char kBalloonTitle[] = "Backup Valmeris";
inline constexpr char kMenuShow[] = "Открыть Backup Valmeris...";
inline constexpr char kMenuAbout[] = "Перейти на сайт разработчика";
inline constexpr char kMenuStop[] = "Выход";

// Balloons
inline constexpr char kBalloonRunning[] = "Выполняется резервное копирование!\rОперация может занять несколько минут...";
inline constexpr char kBalloonWaiting[] = "Служба Backup Valmeris запущена\rОжидается выполнение задания...";
inline constexpr char kBalloonCannotRun[] = "Выполнение резервного копирования не возможно!\rНе запущена служба OracleServiceORCL";
inline constexpr char kBalloonServiceDown[] = "Ошибка! Резерное копирование не выполнено!\rНе запущена служба OracleServiceORCL";
inline constexpr char kBalloonDone[] = "Резерное копирование завершено!\rСоздан файл: ";  // + stamp + ".DMP"
// Our additions: an export that failed is reported, never taken for a success.
inline constexpr char kBalloonFailedHead[] = "Ошибка! Резерное копирование не выполнено!\r";
inline constexpr char kFailNotStarted[] = "Не удалось запустить exp: ";   // + reason
inline constexpr char kFailExitCode[] = "exp завершился с кодом ";       // + code
inline constexpr char kFailNoDump[] = "Не создан файл: ";                // + stamp + ".DMP"
inline constexpr char kFailStopped[] = "exp остановлен: программа завершается";
inline constexpr char kFailBadSize[] = "Неверный размер архива: ";       // + the field's text
inline constexpr char kFailDelete[] = "Не удалось удалить старый архив ";  // + path + ": " + reason (event log)

// Stop command
inline constexpr char kStopQuestion[] = "Вы действительно хотите останоить сервис и выйти?";
inline constexpr char kStopCaption[] = "Запрос подтверждения";

// Console window
inline constexpr char kConsoleCaption[] = "Утилита резервного копирования БД Valmeris";
inline constexpr char kSettingsGroup[] = "Настройки Backup Valmeris";
inline constexpr char kPathLabel[] = "Путь к Backup:";
inline constexpr char kDepthGroup[] = "Глубина архива";
inline constexpr char kDepthDays[] = "Дней";
inline constexpr char kDepthMb[] = "Mb";
inline constexpr char kUserLabel[] = "Oracle UserID:";
inline constexpr char kSaveSettings[] = "Сохранить настройки";
inline constexpr char kScheduleButton[] = "Расписание";
inline constexpr char kDumpsLabel[] = "Backup файлы:";
inline constexpr char kRefresh[] = "Обновить";
inline constexpr char kColumnName[] = "Имя файла";
inline constexpr char kColumnSize[] = "Размер, байт";
inline constexpr char kColumnDate[] = "Дата создания";
inline constexpr char kBackupNow[] = "Создать копию сейчас";
inline constexpr char kClose[] = "Закрыть";
inline constexpr char kExit[] = "Выход";
inline constexpr char kPanelState[] = "Состояние";
inline constexpr char kPanelSize[] = "Размер архива";
inline constexpr char kStateWaiting[] = "Состояние: Ожидание задания";
inline constexpr char kStateError[] = "Состояние: Ошибка!";
inline constexpr char kStateRunning[] = "Состояние: Выполняется";
inline constexpr char kArchiveSizeHead[] = "Размер архива: ";  // + size + " Mb"
inline constexpr char kArchiveSizeTail[] = " Mb";

// Schedule window and entry editor
inline constexpr char kScheduleCaption[] = "Расписание";
inline constexpr char kAdd[] = "&Добавить...";
inline constexpr char kEdit[] = "&Изменить...";
inline constexpr char kDelete[] = "&Удалить";
inline constexpr char kCloseSchedule[] = "&Закрыть";
inline constexpr char kEntryCaption[] = "Задание";
inline constexpr char kEntryName[] = "&Название:";
inline constexpr char kEntryTime[] = "&Время:";
inline constexpr char kPeriod[] = "Период";
inline constexpr char kEveryday[] = "&Ежедневно";
inline constexpr char kWeekly[] = "&Еженедельно";
inline constexpr char kDate[] = "&Дата";
inline constexpr char kOk[] = "OK";
inline constexpr char kCancel[] = "Отмена";
inline constexpr char kDefaultEntryName[] = "Задание резервного копирования";
inline constexpr const char* kWeekdays[7] = {"Воскресенье", "Понедельник", "Вторник", "Среда",
                                             "Четверг", "Пятница", "Суббота"};
// Our addition: a change of the schedule that could not be saved is not made.
inline constexpr char kScheduleNotSaved[] = "Расписание не сохранено: ";  // + the reason
inline constexpr char kInvalidTime[] = "' is not a valid time";  // "'" + text + this

// Service command line results (no Russian originals: these come from the service shell)
inline constexpr char kInstalled[] = "Service installed successfully";
inline constexpr char kUninstalled[] = "Service uninstalled successfully";
inline constexpr char kInstallFailed[] = "Service could not be installed: ";
inline constexpr char kUninstallFailed[] = "Service could not be removed: ";
inline constexpr char kAlreadyRunning[] = "Service is already running from ";  // + the folder

}  // namespace safestow::texts
