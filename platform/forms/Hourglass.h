#pragma once
// The hourglass cursor for the lifetime of an object: shown on construction, the previous
// cursor back on destruction (also when an exception passes).

namespace pv::forms {

class HourglassCursor {
 public:
  HourglassCursor();
  ~HourglassCursor();
  HourglassCursor(const HourglassCursor&) = delete;
  HourglassCursor& operator=(const HourglassCursor&) = delete;
};

}  // namespace pv::forms
