#pragma once
// The one application object of a test binary: Qt allows a single QGuiApplication per
// process, and each test file of a binary asks for it.
#include <QGuiApplication>

namespace pv::qtcanvas::test {

inline QGuiApplication& App() {
  static int argc = 1;
  static char name[] = "qtcanvas_tests";
  static char* argv[] = {name, nullptr};
  static QGuiApplication app(argc, argv);
  return app;
}

}  // namespace pv::qtcanvas::test
