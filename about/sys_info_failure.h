#pragma once
#include <stdexcept>

namespace doze {

// A run-time failure on the way to the system-information program. It ends
// StartSysInfo's normal flow and reaches its one failure trap.
class SysInfoFailure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace doze
