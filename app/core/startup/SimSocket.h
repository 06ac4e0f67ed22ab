#pragma once
// The simulated socket as the user handles it: take the chip out, put it back, or put in a blank
// chip of another part, so that Run's loop (removal, then placement) can be tried without
// hardware. A chip goes where the chosen line's placement picture puts it.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "services/Services.h"
#include "sim/Programmer.h"

namespace zelvar {

// The chosen catalogue line as the socket seats it: its chip's name and the placement picture its
// set showed at set-up (none: the chip's own seat, at the bottom for a DIP).
struct ChosenSeat {
  std::string part;  // the model's name, "" when no line with a model is chosen
  std::optional<PlacementRequest> picture;
};

// Seats `chip` where `picture` puts it: a drawn picture gives the rows and the end of pin 1 (a
// chip turned round for pin 1 at the lower end; a smaller DIP with its pin 1 on the drawn chip's
// pin 1); a picture file (an adapter) or none leaves it to the model's own seat, which a model
// written for that adapter knows. "" when seated; otherwise the socket is left empty and the text
// says why (a chip larger than the one drawn).
std::string SeatAsPictured(sim::Programmer& p, std::shared_ptr<sim::ChipModel> chip,
                           const std::optional<PlacementRequest>& picture);

class SimSocket {
 public:
  // `chosen`, when given, is the chosen line's seat, kept by the caller.
  explicit SimSocket(sim::Programmer& p, const ChosenSeat* chosen = nullptr)
      : p_(p), chosen_(chosen) {}

  // What the socket holds: the part's name, or "" when it is empty.
  std::string Held() const;
  // The part out of the socket, kept with its cells for PutBack.
  void TakeOut();
  // The chip last taken out goes back; false when there is none, or the socket is full.
  bool PutBack();
  // A blank chip of `part` (a catalogue or model name) into the socket (the one there is set
  // aside); false when no model of it exists or it cannot sit where its line puts it (Message
  // says why).
  bool Insert(std::string_view part);
  // Why the last Insert or PutBack left the socket as it is; "" after a seated chip.
  const std::string& Message() const { return message_; }
  // The parts that can be put in: the chip names of `deviceList` (a device list file) that have a
  // chip model, in list order; the EPROM models when the list cannot be read.
  static std::vector<std::string> Parts(const std::string& deviceList = "");

 private:
  // Seats `chip` where the chosen line puts it when it is that line's part, else at its own seat.
  bool Seat(std::shared_ptr<sim::ChipModel> chip);

  sim::Programmer& p_;
  const ChosenSeat* chosen_;
  std::shared_ptr<sim::ChipModel> aside_;
  std::string message_;
};

}  // namespace zelvar
