#include <cstdio>

int main() {
  std::puts("vanquil: the clean-up program is not built yet.");
  return 0;
}
