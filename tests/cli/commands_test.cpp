#include <gtest/gtest.h>

#include <sstream>

#include "cli/commands.h"

namespace plu::cli {
namespace {

struct Outcome {
    int code;
    std::string out, err;
};

Outcome Call(const Args& args) {
    std::ostringstream out, err;
    const int code = Main(args, out, err);
    return {code, out.str(), err.str()};
}

TEST(PluToolCommandLine, UsageForNothingHelpAndUnknownCommands) {
    const Outcome none = Call({});
    EXPECT_EQ(none.code, kExitUsage);
    EXPECT_NE(none.err.find("Usage: plu-tool"), std::string::npos);
    const Outcome help = Call({"--help"});
    EXPECT_EQ(help.code, kExitOk);
    EXPECT_NE(help.out.find("identify --port DEVICE"), std::string::npos);
    EXPECT_NE(help.out.find("ports"), std::string::npos);
    const Outcome unknown = Call({"frobnicate"});
    EXPECT_EQ(unknown.code, kExitUsage);
    EXPECT_NE(unknown.err.find("unknown command \"frobnicate\""), std::string::npos);
}

TEST(PluToolCommandLine, IdentifyArgumentMistakes) {
    for (const Args& bad :
         {Args{"identify"}, Args{"identify", "--port"},
          Args{"identify", "--port", "/dev/x", "--timeout", "0"},
          Args{"identify", "--port", "/dev/x", "--timeout", "soon"},
          Args{"identify", "--port", "/dev/x", "--baud", "9600"}, Args{"ports", "extra"}}) {
        const Outcome r = Call(bad);
        EXPECT_EQ(r.code, kExitUsage) << bad.back();
        EXPECT_TRUE(r.out.empty());
        EXPECT_FALSE(r.err.empty());
    }
}

TEST(PluToolIdentify, ADirectoryIsNoSerialDevice) {
    const Outcome r = Call({"identify", "--port", "/", "--timeout", "1"});
    EXPECT_EQ(r.code, kExitNoPort);
    EXPECT_EQ(r.err.find("plu-tool identify: /: "), 0u) << r.err;
    EXPECT_EQ(r.err.find('\r'), std::string::npos);
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1);
}

}  // namespace
}  // namespace plu::cli
