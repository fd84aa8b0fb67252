// Whether this board offers fan speed control (Hushwind): the page, the tray tip's title and
// the about text all follow it.
#include "monitor/boards/board_tables.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {

bool frmdoctor::CheckSupportFANControl() {
  return boards::IsFanControlSupported(program_.G().ModelName);
}

}  // namespace veltrix::monitor
