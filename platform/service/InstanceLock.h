#pragma once
// One running copy of a program per folder: a lock on a file in that folder, held while the
// object lives. The kernel drops it when the holder's process ends, however it ends (a crash,
// a kill), so a lock left behind never keeps the next copy out.

#include <filesystem>
#include <string>

namespace pv::service {

class InstanceLock {
 public:
  enum class State {
    Held,      // this object holds the lock
    Taken,     // another holder (another copy of the program) has it
    Unusable,  // the lock file could not be opened or locked; Error says why
  };

  // Tries once, without waiting; the file is created when missing and left in place.
  explicit InstanceLock(std::filesystem::path file);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  State GetState() const { return state_; }
  const std::string& Error() const { return error_; }
  const std::filesystem::path& File() const { return file_; }

 private:
  std::filesystem::path file_;
  int fd_ = -1;
  State state_ = State::Unusable;
  std::string error_;
};

}  // namespace pv::service
