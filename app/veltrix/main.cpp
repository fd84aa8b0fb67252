#include <cstdio>

int main() {
  std::puts("veltrix: the monitor is not built yet.");
  return 0;
}
