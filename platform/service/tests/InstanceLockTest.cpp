// The lock that keeps one copy of a program per folder: taken by the first holder, refused to
// every other, whether in this process or another, and free again once the holder is gone,
// also when its process is killed.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "service/InstanceLock.h"

namespace fs = std::filesystem;
using pv::service::InstanceLock;
using State = InstanceLock::State;

namespace {

class InstanceLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("pv_lock_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

}  // namespace

TEST_F(InstanceLockTest, OneHolderPerFileUntilItLetsGo) {
  auto first = std::make_unique<InstanceLock>(dir_ / "Safestow.lock");
  EXPECT_EQ(first->GetState(), State::Held) << first->Error();
  InstanceLock second(dir_ / "Safestow.lock");
  EXPECT_EQ(second.GetState(), State::Taken);
  InstanceLock elsewhere(dir_ / "Other.lock");
  EXPECT_EQ(elsewhere.GetState(), State::Held);
  first.reset();
  InstanceLock third(dir_ / "Safestow.lock");
  EXPECT_EQ(third.GetState(), State::Held);
}

TEST_F(InstanceLockTest, ALockHeldByAnotherProcessIsFreedWhenThatProcessIsKilled) {
  int ready[2];
  int hold[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(hold), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    InstanceLock lock(dir_ / "Safestow.lock");
    const char state = lock.GetState() == State::Held ? 'h' : 'x';
    (void)!::write(ready[1], &state, 1);
    char c;
    (void)!::read(hold[0], &c, 1);  // held until killed
    ::_exit(0);
  }
  char state = 0;
  ASSERT_EQ(::read(ready[0], &state, 1), 1);
  EXPECT_EQ(state, 'h');
  {
    InstanceLock second(dir_ / "Safestow.lock");
    EXPECT_EQ(second.GetState(), State::Taken);
  }
  ::kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status));
  InstanceLock after(dir_ / "Safestow.lock");
  EXPECT_EQ(after.GetState(), State::Held) << after.Error();
  for (int fd : {ready[0], ready[1], hold[0], hold[1]}) ::close(fd);
}

TEST_F(InstanceLockTest, AFolderThatCannotHoldTheFileIsReported) {
  InstanceLock lock(dir_ / "missing" / "Safestow.lock");
  EXPECT_EQ(lock.GetState(), State::Unusable);
  EXPECT_NE(lock.Error().find("missing/Safestow.lock"), std::string::npos) << lock.Error();
  EXPECT_NE(lock.Error().find("No such file"), std::string::npos) << lock.Error();
}
