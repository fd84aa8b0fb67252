#pragma once
// Port traces as lines ("out 2E 87", "in 2F -> 52") for readable comparisons in tests.
#include <string>
#include <vector>

#include "platform/portio/tracing_port_io.h"

namespace veltrix::testsupport {

std::vector<std::string> TraceLines(const platform::TracingPortIo& io);
// Only the port reads and writes (no library calls), from index `from` on.
std::vector<std::string> PortLines(const platform::TracingPortIo& io, std::size_t from = 0);

}  // namespace veltrix::testsupport
