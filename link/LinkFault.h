#pragma once
// A fault of the link that ends the running operation: an overflowing command queue or a reply
// read that failed. It unwinds out of the algorithm set to the operation runner, which catches it;
// the programmer is off-line afterwards and the program and its buffer stay.
#include <stdexcept>
#include <string>

namespace zelvar {

class LinkFault : public std::runtime_error {
 public:
  explicit LinkFault(const std::string& message) : std::runtime_error(message) {}
};

// Writes `message` to the log, discards the queue, sets StatusWord 1, takes the programmer
// off-line (ModelNumber 0) and throws LinkFault.
[[noreturn]] void RaiseLinkFault(const std::string& message);

}  // namespace zelvar
