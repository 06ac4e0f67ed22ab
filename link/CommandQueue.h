#pragma once
// The command queue: commands of one to four bytes, sent in one bulk transfer at a flush or a
// reply read. A multi-byte command never straddles a 64-byte packet boundary.
#include <cstdint>

namespace zelvar {

void PutCmd1(std::uint8_t b);
void PutCmd2(std::uint8_t cmd, std::uint8_t arg);
void PutCmd3(std::uint8_t cmd, std::uint8_t a, std::uint8_t b);
void PutCmd4(std::uint8_t cmd, std::uint8_t a, std::uint8_t b, std::uint8_t c);
void FlushCommands();

// Queue kCmdReadReply (or kCmdReadBlock), flush, and read a 64-byte reply (or a 256-byte block)
// into `buffer`; returns its byte 0. A read of any other length is a link fault.
std::uint8_t ReadReply64(std::uint8_t* buffer);
std::uint8_t ReadBlock256(std::uint8_t* buffer);

// Reads `length` bytes that a set's own read command asked for (after its flush). A short or
// failed read is a link fault: stale bytes would otherwise pass a Blank or fill a Read.
void ReadSetBlock(std::uint8_t* buffer, std::uint32_t length);

}  // namespace zelvar
