#pragma once
// Faults of the programmer's own socket wiring that a test may switch on, for the self-test to
// find. The self-test design ("testpin.bit") honours them; 0 means no such fault.
namespace zelvar::sim {

struct SocketFaults {
  int deadVccPin = 0;          // the VCC switch of this socket pin does not close
  int deadVppPin = 0;          // the VPP switch of this socket pin does not close
  int deadGndPin = 0;          // the ground switch of this socket pin does not close
  int stuckLowPin = 0;         // this socket pin is shorted to ground
  int stickyVppPin = 0;        // this pin's VPP switch sticks closed once it has closed
  int openResistorPin = 0;     // this pin's pull-up/pull-down resistor is open
  bool noHighVoltage = false;  // the 12 V switch does not reach pin 40
  bool silentLogic = false;    // the FPGA does not identify itself
};

}  // namespace zelvar::sim
