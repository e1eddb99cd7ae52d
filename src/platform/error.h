// The error the services and the platform layer raise for what the program
// shows in its error box ("Unable to write to %s", "Unable to create directory",
// "Invalid data type for '%s'", ...).
#pragma once

#include <stdexcept>
#include <string>

namespace platform {

class Error : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

} // namespace platform
