#include "tests/support/port_trace.h"

namespace veltrix::testsupport {

std::vector<std::string> TraceLines(const platform::TracingPortIo& io) {
  std::vector<std::string> lines;
  for (const auto& a : io.Trace()) lines.push_back(platform::FormatAccess(a));
  return lines;
}

std::vector<std::string> PortLines(const platform::TracingPortIo& io, std::size_t from) {
  std::vector<std::string> lines;
  const auto& trace = io.Trace();
  for (std::size_t i = from; i < trace.size(); ++i) {
    if (trace[i].op == platform::PortOp::In || trace[i].op == platform::PortOp::Out) {
      lines.push_back(platform::FormatAccess(trace[i]));
    }
  }
  return lines;
}

}  // namespace veltrix::testsupport
