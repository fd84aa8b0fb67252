#include <gtest/gtest.h>

// One main for every test executable. GoogleTest initialises before anything else,
// so listing tests never needs a display or a QApplication.
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
