// Runs a libFuzzer target over every file of its seed corpus, for builds without libFuzzer.
// A missing or empty corpus is a failure: a regression test that ran nothing proves nothing.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: " << argv[0] << " CORPUS_DIR...\n";
    return 2;
  }
  int runs = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path root(argv[i]);
    std::error_code ec;
    if (!std::filesystem::is_directory(root, ec)) {
      std::cerr << root.string() << ": no such corpus folder\n";
      return 1;
    }
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      ++runs;
    }
  }
  if (runs == 0) {
    std::cerr << "the corpus holds no inputs\n";
    return 1;
  }
  std::cout << runs << " corpus inputs ran\n";
  return 0;
}
