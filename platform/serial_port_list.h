#pragma once
// The serial ports a board may hang on: the devices ttyS*, ttyUSB* and ttyACM* under `devRoot`,
// in that order of families and in natural order within one (ttyS2 before ttyS10). A ttyS entry
// whose `sysRoot`/class/tty/<name>/type reads 0 has no UART behind it and is left out. The roots
// are parameters so that tests scan a made-up tree. Any thread.

#include <string>
#include <vector>

// Full paths, such as "/dev/ttyUSB0".
std::vector<std::string> ListSerialPorts(const std::string& devRoot = "/dev",
                                         const std::string& sysRoot = "/sys");
