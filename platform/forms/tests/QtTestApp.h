#pragma once
// The one QApplication of a GUI test program: made before the first test and destroyed after
// the last, before static destruction (Qt's devices must not outlive it).

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace pv::forms::testing {

class QtAppEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "planview_tests";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName("Planview");
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};

// Include in exactly one source file of a test program.
#define PV_QT_TEST_APPLICATION()                                                      \
  [[maybe_unused]] static ::testing::Environment* const pv_qt_test_environment_ = \
      ::testing::AddGlobalTestEnvironment(new ::pv::forms::testing::QtAppEnvironment)

}  // namespace pv::forms::testing
