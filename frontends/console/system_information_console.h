#pragma once
// The system information page on a terminal (veltrix --info): one "caption: value" line per
// row, with the captions of the chosen language, or one JSON object whose keys stay the same
// in every language:
//
//   CPU: Simulated Pentium 4 2.80GHz
//   {"user":"operator","cpu":"...","memory":"524288 KBytes","mainboard":"ZQ52","os":"...",
//    "osVersion":"...","biosVersion":"...","biosDate":"...","language":"United States",
//    "superIo":"Winbond W83627HF"}
#include <ostream>

namespace veltrix::monitor {
class frmdoctor;
}

namespace veltrix::console {

// Prints the page as the main window holds it (its load has filled it).
void PrintSystemInformation(monitor::frmdoctor& window, std::ostream& out, bool json);

}  // namespace veltrix::console
