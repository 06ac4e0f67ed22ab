#pragma once
// The dispatchers of the memory sets, bound by key in the set registry.
#include <cstdint>

#include "services/Dispatcher.h"

namespace zelvar {

std::uint8_t P27Dispatch(int op, std::uint8_t* buffer, std::int32_t* record, ChipUiList* list);
std::uint8_t PW27Dispatch(int op, std::uint8_t* buffer, std::int32_t* record, ChipUiList* list);
std::uint8_t SST27SFDispatch(int op, std::uint8_t* buffer, std::int32_t* record, ChipUiList* list);
std::uint8_t I27CXDispatch(int op, std::uint8_t* buffer, std::int32_t* record, ChipUiList* list);

}  // namespace zelvar
