#include "core/int_conversion.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace rivo {
namespace {

struct Spelling {
    const char* text;
    std::optional<std::int32_t> value;
};

class IntConversion : public ::testing::TestWithParam<Spelling> {};

TEST_P(IntConversion, ConvertsAsTheFrameworkDoes) {
    const Spelling& s = GetParam();
    EXPECT_EQ(ParseFrameworkInt(s.text), s.value) << "text: [" << s.text << "]";
}

INSTANTIATE_TEST_SUITE_P(Accepted, IntConversion,
                         ::testing::Values(Spelling{"0", 0}, Spelling{"16", 16}, Spelling{"007", 7},
                                           Spelling{"   42", 42}, Spelling{"+5", 5}, Spelling{"-5", -5},
                                           Spelling{"0x10", 16}, Spelling{"0X2d", 45}, Spelling{"$2E", 46},
                                           Spelling{"x11", 17}, Spelling{"X1f", 31}, Spelling{"-$10", -16},
                                           Spelling{"+0x10", 16}, Spelling{"$FFFFFFFF", -1},
                                           Spelling{"$80000000", INT32_MIN}, Spelling{"0x00000001", 1},
                                           Spelling{"2147483647", INT32_MAX},
                                           Spelling{"-2147483648", INT32_MIN}, Spelling{"  -0x11", -17}));

INSTANTIATE_TEST_SUITE_P(
    Refused, IntConversion,
    ::testing::Values(Spelling{"", std::nullopt}, Spelling{"   ", std::nullopt}, Spelling{"+", std::nullopt},
                      Spelling{"-", std::nullopt}, Spelling{"$", std::nullopt}, Spelling{"0x", std::nullopt},
                      Spelling{"-x", std::nullopt}, Spelling{"+-5", std::nullopt},
                      Spelling{"--5", std::nullopt}, Spelling{"- 5", std::nullopt},
                      Spelling{"5 ", std::nullopt}, Spelling{"\t5", std::nullopt},
                      Spelling{"12abc", std::nullopt}, Spelling{"word", std::nullopt},
                      Spelling{"$123456789", std::nullopt}, Spelling{"2147483648", std::nullopt},
                      Spelling{"-2147483649", std::nullopt}, Spelling{"99999999999999999999", std::nullopt},
                      Spelling{"0x1G", std::nullopt}, Spelling{"1.5", std::nullopt},
                      Spelling{"$-1", std::nullopt}));

}  // namespace
}  // namespace rivo
