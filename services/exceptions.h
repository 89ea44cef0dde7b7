// The program's exception base: a UTF-8 message that the application's
// standard error display shows.
#pragma once

#include <stdexcept>
#include <string>

namespace murrelet {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace murrelet
