#pragma once
// The dispatchers of the 8051 sets, bound by key in the set registry.
#include <cstdint>

#include "services/Dispatcher.h"

namespace zelvar {

std::uint8_t P89C51Dispatch(int op, std::uint8_t* buffer, std::int32_t* record, ChipUiList* list);
std::uint8_t AT89S5XDispatch(int op, std::uint8_t* buffer, std::int32_t* record, ChipUiList* list);
std::uint8_t AT89S8253Dispatch(int op, std::uint8_t* buffer, std::int32_t* record,
                               ChipUiList* list);
std::uint8_t AT89X8252Dispatch(int op, std::uint8_t* buffer, std::int32_t* record,
                               ChipUiList* list);
std::uint8_t AT89C51RD2Dispatch(int op, std::uint8_t* buffer, std::int32_t* record,
                               ChipUiList* list);
std::uint8_t T89C51RD2Dispatch(int op, std::uint8_t* buffer, std::int32_t* record,
                               ChipUiList* list);
std::uint8_t T89C51RC2Dispatch(int op, std::uint8_t* buffer, std::int32_t* record,
                               ChipUiList* list);

}  // namespace zelvar
