#include "Console.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "DumpFiles.h"
#include "Texts.h"
#include "service/EventLog.h"

namespace safestow {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }
QString Q(const std::string& text) { return QString::fromStdString(text); }

QPushButton* Button(QWidget* parent, const char* name, const char* text) {
  auto* b = new QPushButton(Q(text), parent);
  b->setObjectName(name);
  return b;
}

}  // namespace

TConsoleForm::TConsoleForm(std::filesystem::path settingsFile, const Clock& clock,
                           pv::service::ServiceControl& services, pv::process::ProcessRunner& processes,
                           TCoolTrayIcon& trayIcon, const TImageList& busyFrames, QWidget* parent)
    : QWidget(parent),
      settingsFile_(std::move(settingsFile)),
      services_(services),
      trayIcon_(trayIcon),
      busyFrames_(busyFrames),
      runner_(std::make_unique<TBackupRunner>(clock, services, processes, *this)) {
  setObjectName("ConsoleForm");
  setWindowTitle(Q(texts::kConsoleCaption));

  GroupBox1 = new QGroupBox(Q(texts::kSettingsGroup), this);
  GroupBox1->setObjectName("GroupBox1");
  Edit1 = new QLineEdit(GroupBox1);
  Edit1->setObjectName("Edit1");
  RadioGroup1 = new QGroupBox(Q(texts::kDepthGroup), GroupBox1);
  RadioGroup1->setObjectName("RadioGroup1");
  RadioGroup1Items = new QButtonGroup(this);
  auto* days = new QRadioButton(Q(texts::kDepthDays), RadioGroup1);
  auto* mb = new QRadioButton(Q(texts::kDepthMb), RadioGroup1);
  RadioGroup1Items->addButton(days, 0);
  RadioGroup1Items->addButton(mb, 1);
  mb->setChecked(true);
  SpinEdit1 = new QSpinBox(RadioGroup1);
  SpinEdit1->setObjectName("SpinEdit1");
  SpinEdit1->setRange(1, 365);
  SpinEdit1->setValue(1);
  Edit2 = new QLineEdit(RadioGroup1);
  Edit2->setObjectName("Edit2");
  auto* depth = new QGridLayout(RadioGroup1);
  depth->addWidget(days, 0, 0);
  depth->addWidget(SpinEdit1, 0, 1);
  depth->addWidget(mb, 1, 0);
  depth->addWidget(Edit2, 1, 1);
  Edit4 = new QLineEdit(Q("VALMERIS/QUENTARO"), GroupBox1);
  Edit4->setObjectName("Edit4");
  BitBtn3 = Button(GroupBox1, "BitBtn3", texts::kSaveSettings);
  BitBtn5 = Button(GroupBox1, "BitBtn5", texts::kScheduleButton);
  auto* settings = new QGridLayout(GroupBox1);
  settings->addWidget(new QLabel(Q(texts::kPathLabel), GroupBox1), 0, 0);
  settings->addWidget(Edit1, 0, 1, 1, 2);
  settings->addWidget(RadioGroup1, 1, 0, 1, 3);
  settings->addWidget(new QLabel(Q(texts::kUserLabel), GroupBox1), 2, 0);
  settings->addWidget(Edit4, 2, 1, 1, 2);
  settings->addWidget(BitBtn5, 3, 1);
  settings->addWidget(BitBtn3, 3, 2);

  Label1 = new QLabel(Q(texts::kDumpsLabel), this);
  Label1->setObjectName("Label1");
  SpeedButton1 = Button(this, "SpeedButton1", texts::kRefresh);
  ListView1 = new QTreeWidget(this);
  ListView1->setObjectName("ListView1");
  ListView1->setRootIsDecorated(false);
  ListView1->setHeaderLabels({Q(texts::kColumnName), Q(texts::kColumnSize), Q(texts::kColumnDate)});
  ListView1->setColumnWidth(0, 175);
  ListView1->setColumnWidth(1, 110);
  ListView1->setColumnWidth(2, 120);
  ListView1->setMinimumWidth(175 + 110 + 120 + 24);
  BitBtn2 = Button(this, "BitBtn2", texts::kBackupNow);
  BitBtn1 = Button(this, "BitBtn1", texts::kClose);
  BitBtn4 = Button(this, "BitBtn4", texts::kExit);
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
  StatusPanel0 = new QLabel(Q(texts::kPanelState), StatusBar1);
  StatusPanel0->setObjectName("StatusPanel0");
  StatusPanel0->setMinimumWidth(200);
  StatusPanel1 = new QLabel(Q(texts::kPanelSize), StatusBar1);
  StatusPanel1->setObjectName("StatusPanel1");
  StatusPanel1->setMinimumWidth(50);
  StatusBar1->addWidget(StatusPanel0);
  StatusBar1->addWidget(StatusPanel1, 1);
  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(10000);

  auto* listHead = new QHBoxLayout;
  listHead->addWidget(Label1);
  listHead->addStretch();
  listHead->addWidget(SpeedButton1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(BitBtn2);
  buttons->addStretch();
  buttons->addWidget(BitBtn1);
  buttons->addWidget(BitBtn4);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(GroupBox1);
  layout->addLayout(listHead);
  layout->addWidget(ListView1);
  layout->addLayout(buttons);
  layout->addWidget(StatusBar1);
  setFixedSize(sizeHint());
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }

  connect(RadioGroup1Items, &QButtonGroup::idClicked, this,
      pv::service::Guarded("RadioGroup1Click", [this] { RadioGroup1Click(); }));
  connect(BitBtn2, &QPushButton::clicked, this, pv::service::Guarded("BitBtn2Click", [this] { BitBtn2Click(); }));
  connect(BitBtn3, &QPushButton::clicked, this, pv::service::Guarded("BitBtn3Click", [this] { BitBtn3Click(); }));
  connect(BitBtn1, &QPushButton::clicked, this, pv::service::Guarded("BitBtn1Click", [this] { BitBtn1Click(); }));
  connect(BitBtn5, &QPushButton::clicked, this, pv::service::Guarded("ShowSchedule", [this] {
    if (ShowSchedule) ShowSchedule();
  }));
  connect(BitBtn4, &QPushButton::clicked, this, pv::service::Guarded("StopService", [this] {
    if (StopService) StopService();
  }));
  connect(SpeedButton1, &QPushButton::clicked, this,
      pv::service::Guarded("SpeedButton1Click", [this] { SpeedButton1Click(); }));
  connect(Timer1, &QTimer::timeout, this, pv::service::Guarded("Timer1Timer", [this] { Timer1Timer(); }));
}

TConsoleForm::~TConsoleForm() = default;

void TConsoleForm::LoadConsoleSettings() {
  // A file that cannot be read gives the defaults, as a missing one does, and says why.
  const pv::ini::IniFile ini(settingsFile_);
  if (!ini.ReadError().empty()) pv::service::CurrentEventLog().Write(pv::service::EventKind::Error, ini.ReadError());
  const ConsoleSettings s = safestow::LoadConsoleSettings(ini);
  Edit1->setText(Q(s.pathBackup));
  Edit2->setText(Q(s.sizeDirBackup));
  Edit4->setText(Q(s.userId));
  SpinEdit1->setValue(s.sizeDayBackup);
  if (QAbstractButton* item = RadioGroup1Items->button(s.typeSizeBackup == 0 ? 0 : 1)) item->setChecked(true);
  databaseService_ = s.databaseService;
  RadioGroup1Click();
}

ConsoleSettings TConsoleForm::CurrentSettings() const {
  ConsoleSettings s;
  s.pathBackup = Edit1->text().toStdString();
  s.sizeDirBackup = Edit2->text().toStdString();
  s.userId = Edit4->text().toStdString();
  s.sizeDayBackup = SpinEdit1->value();
  s.typeSizeBackup = RadioGroup1Items->checkedId() == 0 ? 0 : 1;
  s.databaseService = databaseService_;
  return s;
}

void TConsoleForm::BitBtn3Click() {
  pv::ini::IniFile ini(settingsFile_);
  SaveConsoleSettings(ini, CurrentSettings());
  std::string error;
  if (!ini.UpdateFile(&error)) {
    StatusPanel0->setText(Q(texts::kStateError));
    pv::service::CurrentEventLog().Write(pv::service::EventKind::Error, error);
  }
}

void TConsoleForm::RadioGroup1Click() {
  const bool byCount = RadioGroup1Items->checkedId() == 0;
  SpinEdit1->setEnabled(byCount);
  Edit2->setEnabled(!byCount);
}

void TConsoleForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FormShow();
}

void TConsoleForm::FormShow() {
  RadioGroup1Click();
  ListDumpFiles();
  ShowArchiveSize();
  const bool up = services_.QueryServiceState(databaseService_) == pv::service::kServiceRunning;
  StatusPanel0->setText(Q(up ? texts::kStateWaiting : texts::kStateError));
}

void TConsoleForm::ListDumpFiles() {
  ListView1->clear();
  for (const DumpFile& f : safestow::ListDumpFiles(Edit1->text().toStdString())) {
    auto* item = new QTreeWidgetItem(ListView1);
    item->setText(0, Q(f.name));
    item->setText(1, QString::number(static_cast<qulonglong>(f.size)));
    item->setText(2, Q(DateTimeToStr(f.modifiedLocal)));
  }
}

void TConsoleForm::ShowArchiveSize() {
  StatusPanel1->setText(Q(ArchiveSizeText(AddDirectorySize(Edit1->text().toStdString()))));
}

void TConsoleForm::Timer1Timer() {
  trayIcon_.HideBalloonHint();
  Timer1->stop();
}

void TConsoleForm::RestartTimer1() {
  Timer1->stop();
  Timer1->start();
}

void TConsoleForm::SetStateText(const std::string& text) { StatusPanel0->setText(Q(text)); }

void TConsoleForm::SetBackupButtonEnabled(bool enabled) { BitBtn2->setEnabled(enabled); }

void TConsoleForm::RefreshDumpList() {
  ListDumpFiles();
  ShowArchiveSize();
}

void TConsoleForm::SetBusyAnimation(bool running) {
  if (running) {
    trayIcon_.SetIconList(&busyFrames_);
    trayIcon_.SetCycleIcons(true);
  } else {
    trayIcon_.SetCycleIcons(false);
    trayIcon_.SetIconIndex(0);
  }
}

void TConsoleForm::ShowBalloon(const std::string& title, const std::string& text, int iconKind, int seconds) {
  trayIcon_.ShowBalloonHint(title, text, iconKind, seconds);
  RestartTimer1();
}

}  // namespace safestow
