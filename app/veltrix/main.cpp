#include <iostream>
#include <string>
#include <vector>

#include "app/veltrix/veltrix_app.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return veltrix::app::RunVeltrix(args, std::cout, std::cerr);
}
