#include "app/core/startup/SimSocket.h"

#include <fstream>
#include <set>

#include "app/core/catalogue/DeviceList.h"
#include "sim/chips/ChipModels.h"
#include "sim/chips/Eprom.h"

namespace zelvar {

std::string SeatAsPictured(sim::Programmer& p, std::shared_ptr<sim::ChipModel> chip,
                           const std::optional<PlacementRequest>& picture) {
  if (!chip || !picture || !picture->file.empty() || picture->pins == 0 ||
      !chip->Wiring().empty()) {
    p.SeatChip(std::move(chip));
    return "";
  }
  const int pins = chip->PinCount();
  if (pins > picture->pins || pins % 2 != 0) {
    const std::string why = chip->Name() + " has " + std::to_string(pins) +
                            " pins; this line places a " + std::to_string(picture->pins) +
                            "-pin chip";
    p.PlaceChipAtBottom(nullptr);
    return why;
  }
  // Picture rows count from the lever, as socket pins 1 to 20 of the left row do.
  const int firstRow =
      picture->firstRow > 0 ? picture->firstRow : 20 - picture->offset - picture->pins / 2 + 1;
  // A smaller DIP goes with its pin 1 where the drawn chip's pin 1 is (an 8-pin PIC12F6xx in
  // the 14-pin PIC16F630's place: their supply and programming pins line up from pin 1).
  if (picture->pin1Side == 1) {
    p.PlaceChipTurned(std::move(chip), firstRow + picture->pins / 2 - pins / 2);
  } else {
    p.PlaceChip(std::move(chip), firstRow);
  }
  return "";
}

std::string SimSocket::Held() const {
  return p_.chip() ? p_.chip()->Name() : "";
}

void SimSocket::TakeOut() {
  if (!p_.chip()) return;
  aside_ = p_.chipShared();
  p_.PlaceChipAtBottom(nullptr);
}

bool SimSocket::Seat(std::shared_ptr<sim::ChipModel> chip) {
  if (chosen_ && chosen_->part == chip->Name()) {
    message_ = SeatAsPictured(p_, chip, chosen_->picture);
    return message_.empty();
  }
  message_.clear();
  p_.SeatChip(std::move(chip));
  return true;
}

bool SimSocket::PutBack() {
  if (!aside_ || p_.chip()) return false;
  return Seat(aside_);
}

bool SimSocket::Insert(std::string_view part) {
  auto chip = sim::MakeChipModel(part);
  if (!chip) {
    message_ = "No simulated chip model of " + std::string(part);
    return false;
  }
  const auto held = p_.chipShared();
  if (!Seat(chip)) {
    // The chip cannot go where its line puts it: the one there stays.
    const std::string why = message_;
    if (held) Seat(held);
    message_ = why;
    return false;
  }
  if (held) aside_ = held;
  return true;
}

std::vector<std::string> SimSocket::Parts(const std::string& deviceList) {
  std::vector<std::string> parts;
  std::ifstream in(deviceList);
  std::set<std::string> seen;
  std::string raw;
  while (in && ReadDeviceLine(in, raw)) {
    const auto line = ParseDeviceLine(raw);
    if (!line || !line->hasComma || !seen.insert(line->chipName).second) continue;
    if (sim::MakeChipModel(line->chipName)) parts.push_back(line->chipName);
  }
  if (parts.empty()) {
    for (std::string_view p : sim::EpromParts()) parts.emplace_back(p);
  }
  return parts;
}

}  // namespace zelvar
