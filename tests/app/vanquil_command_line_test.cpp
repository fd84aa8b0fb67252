#include <gtest/gtest.h>

#include "app/vanquil/vanquil_command_line.h"

namespace veltrix::app {
namespace {

VanquilParseResult Parse(std::vector<std::string> args) { return ParseVanquilCommandLine(args); }

TEST(VanquilCommandLine, AcceptsItsOptionsInBothForms) {
  auto a = Parse({"--registry", "/tmp/r.reg"});
  ASSERT_TRUE(std::holds_alternative<VanquilCommandLine>(a));
  EXPECT_EQ(std::get<VanquilCommandLine>(a).registry, "/tmp/r.reg");
  auto b = Parse({"--registry=/x.reg", "--version", "--help"});
  ASSERT_TRUE(std::holds_alternative<VanquilCommandLine>(b));
  EXPECT_EQ(std::get<VanquilCommandLine>(b).registry, "/x.reg");
  EXPECT_TRUE(std::get<VanquilCommandLine>(b).version);
  EXPECT_TRUE(std::get<VanquilCommandLine>(b).help);
}

TEST(VanquilCommandLine, RejectsUnknownOptionsAndMissingValuesWithOneLine) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"--board", "ZQ1"}, {"--registry"}, {"--registry="}, {"stray"}}) {
    auto r = Parse(args);
    ASSERT_TRUE(std::holds_alternative<std::string>(r)) << args[0];
    const auto& message = std::get<std::string>(r);
    EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    EXPECT_NE(message.find(args[0].substr(0, 10)), std::string::npos) << message;
  }
}

}  // namespace
}  // namespace veltrix::app
