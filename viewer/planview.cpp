// Planview: the busy box first, then the main window, then the tracking window, and one
// message loop until the main window closes. A file named on the command line is loaded
// as if chosen in the open dialog; with --convert it is also converted into the document
// view (without the save dialog), as for a picture of both views.

#include <QApplication>
#include <QScreen>
#include <QTimer>

#include "Main_form.h"
#include "ThinkboxWindow.h"
#include "Tracking_Form.h"
#include "forms/Handlers.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Planview"));

  pv::viewer::TThinking_box busy;
  busy.setAttribute(Qt::WA_QuitOnClose, false);
  pv::viewer::TCAD_Demo_Form mainForm(busy);
  pv::viewer::TTrackingForm tracking;
  tracking.setAttribute(Qt::WA_QuitOnClose, false);
  mainForm.SetTrackingForm(&tracking);
  // Without a window manager (a bare X server) maximising does nothing: fill the screen.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) mainForm.setGeometry(screen->availableGeometry());
  mainForm.showMaximized();

  std::string file;
  bool convert = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--convert") {
      convert = true;
    } else if (file.empty()) {
      file = arg;
    }
  }
  if (!file.empty()) {
    QTimer::singleShot(0, &mainForm, [&mainForm, file, convert] {
      pv::forms::Guarded(&mainForm, [&] {
        mainForm.LoadFile(file, 1);
        if (convert && mainForm.Drawing()) mainForm.ConvertDrawing();
      });
    });
  }
  return app.exec();
}
