#pragma once
// Faults that end the running operation at once. They unwind out of the algorithm set to the
// operation runner, which catches them, switches the supplies off and writes the result line; the
// program and its buffer stay.
#include <stdexcept>
#include <string>

namespace zelvar {

class OperationFault : public std::runtime_error {
 public:
  explicit OperationFault(const std::string& message) : std::runtime_error(message) {}
};

// An overflowing command queue, or a transfer that failed or came short: the programmer is
// off-line afterwards.
class LinkFault : public OperationFault {
 public:
  explicit LinkFault(const std::string& message) : OperationFault(message) {}
};

// A supply level the programmer cannot give: the set must not run on at the previous level.
class SupplyRefused : public OperationFault {
 public:
  explicit SupplyRefused(const std::string& message) : OperationFault(message) {}
};

// Writes `message` to the log, discards the queue, sets StatusWord 1, takes the programmer
// off-line (ModelNumber 0) and throws LinkFault.
[[noreturn]] void RaiseLinkFault(const std::string& message);

}  // namespace zelvar
