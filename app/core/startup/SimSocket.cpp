#include "app/core/startup/SimSocket.h"

#include "sim/chips/Eprom.h"

namespace zelvar {

std::string SimSocket::Held() const {
  return p_.chip() ? p_.chip()->Name() : "";
}

void SimSocket::TakeOut() {
  if (!p_.chip()) return;
  aside_ = p_.chipShared();
  p_.PlaceChipAtBottom(nullptr);
}

bool SimSocket::PutBack() {
  if (!aside_ || p_.chip()) return false;
  p_.PlaceChipAtBottom(aside_);
  return true;
}

bool SimSocket::Insert(std::string_view part) {
  auto chip = sim::MakeEprom(part);
  if (!chip) return false;
  if (p_.chip()) aside_ = p_.chipShared();
  p_.PlaceChipAtBottom(chip);
  return true;
}

std::vector<std::string> SimSocket::Parts() {
  std::vector<std::string> parts;
  for (std::string_view p : sim::EpromParts()) parts.emplace_back(p);
  return parts;
}

}  // namespace zelvar
