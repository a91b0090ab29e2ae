#include "core/measure_text.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct Significant {
    double value;
    Sign sign;
    const char* seconds;
    const char* hertz;
};

// Four significant digits in the unit the rounded value reaches; decimals never below 0 nor
// above 6; a sign as asked.
TEST(MeasureText, FourSignificantDigitsInTheUnitTheValueReaches) {
    const Sign kPlain = Sign::IfNegative;
    const Significant cases[] = {
        {0, kPlain, "0 s", "0 Hz"},
        {0, Sign::Always, "0 s", "0 Hz"},
        {1.234e-3, kPlain, "1.234 ms", "0.001234 Hz"},
        {2.5e-6, kPlain, "2.500 \u00b5s", "0.000003 Hz"},
        {99.99e-6, kPlain, "99.99 \u00b5s", "0.000100 Hz"},
        {999.96e-3, kPlain, "1.000 s", "1.000 Hz"},  // rounded into the next unit
        {999.94e-3, kPlain, "999.9 ms", "0.9999 Hz"},
        {1e-3, kPlain, "1.000 ms", "0.001000 Hz"},
        {12.3456, kPlain, "12.35 s", "12.35 Hz"},
        {1234.6, kPlain, "1235 s", "1.235 kHz"},
        {5e-10, kPlain, "0.5000 ns", "0.000000 Hz"},  // below the smallest unit
        {-2.5e-6, kPlain, "-2.500 \u00b5s", "-0.000003 Hz"},
        {-2.5e-6, Sign::Always, "-2.500 \u00b5s", "-0.000003 Hz"},
        {234e-6, Sign::Always, "+234.0 \u00b5s", "0.000234 Hz"},
        {999960, kPlain, "1000000 s", "1.000 MHz"},
        {3e9, kPlain, "3000000000 s", "3.000 GHz"},
        {4.2e12, kPlain, "4200000000000 s", "4200 GHz"},
    };
    for (const Significant& c : cases) {
        EXPECT_EQ(formatSeconds(c.value, c.sign), c.seconds) << c.value;
        if (c.sign == kPlain) {
            EXPECT_EQ(formatHertz(c.value), c.hertz) << c.value;
        }
    }
}

struct StepLabel {
    double seconds;
    double step;
    double largest;
    const char* text;
};

// The unit of the largest value shown, whatever the value itself; the decimals the step needs.
TEST(MeasureText, RulerLabelsInTheLargestValuesUnitToTheStep) {
    const StepLabel cases[] = {
        {2.05e-3, 5e-5, 2.5e-3, "2.05 ms"},
        {0, 1e-6, 10e-6, "0 \u00b5s"},
        {3, 1, 10, "3 s"},
        {2.500010, 1e-6, 2.5001, "2.500010 s"},
        {40e-9, 20e-9, 500e-9, "40 ns"},
        {1.5e-3, 5e-4, 9e-4, "1500 \u00b5s"},
        {1e-3, 1e-4, 1e-3, "1.0 ms"},
        {-2e-6, 1e-6, -5e-6, "-2 \u00b5s"},
        {5e-12, 1e-12, 1e-11, "0.005 ns"},
        {1.5, 1e-12, 2, "1.500000000 s"},  // no more than 9 decimals
    };
    for (const StepLabel& c : cases) {
        EXPECT_EQ(formatSecondsToStep(c.seconds, c.step, c.largest), c.text) << c.seconds;
    }
}

TEST(MeasureText, UnitsByEitherName) {
    const std::pair<const char*, double> cases[] = {
        {"s", 1},      {"ms", 1e-3}, {"\u00b5s", 1e-6}, {"us", 1e-6}, {"ns", 1e-9},  {"ps", 1e-12},
        {"fs", 1e-15}, {"", 0},      {"S", 0},          {"min", 0},   {"\u00b5", 0}, {"kHz", 0},
    };
    for (const auto& [unit, seconds] : cases) {
        EXPECT_EQ(secondsPerUnit(unit), seconds) << unit;
    }
}

TEST(MeasureText, PowersOfTenSecondsInAsciiUnits) {
    const std::pair<int, const char*> cases[] = {
        {-15, "1 fs"},  {-14, "10 fs"}, {-13, "100 fs"}, {-12, "1 ps"},
        {-7, "100 ns"}, {-6, "1 us"},   {-4, "100 us"},  {-3, "1 ms"},
        {0, "1 s"},     {1, "10 s"},    {2, "100 s"},
    };
    for (const auto& [exponent, text] : cases) {
        EXPECT_EQ(powerOfTenSecondsText(exponent), text) << exponent;
    }
}

struct Exact {
    uint64_t count;
    int exponent;
    const char* text;
};

TEST(MeasureText, ExactSecondsWithTheUnitsDecimals) {
    const Exact cases[] = {
        {0, -6, "0.000000"},
        {123, -6, "0.000123"},
        {1000000, -6, "1.000000"},
        {2500001, -6, "2.500001"},
        {7, -1, "0.7"},
        {1, -15, "0.000000000000001"},
        {18446744073709551615u, -15, "18446.744073709551615"},
        {3, 0, "3"},
        {2, 1, "20"},
        {5, 2, "500"},
    };
    for (const Exact& c : cases) {
        EXPECT_EQ(exactSecondsText(c.count, c.exponent), c.text) << c.count << "e" << c.exponent;
    }
}

TEST(MeasureText, ExactHertzAsSigrokWritesIt) {
    const std::pair<uint64_t, const char*> cases[] = {
        {0, "0 Hz"},
        {1, "1 Hz"},
        {999, "999 Hz"},
        {1000, "1 kHz"},
        {12500, "12.5 kHz"},
        {943396, "943.396 kHz"},
        {999999, "999.999 kHz"},
        {1000000, "1 MHz"},
        {1500000, "1.5 MHz"},
        // zeros right after the point
        {1002, "1.002 kHz"},
        {1050000, "1.05 MHz"},
        {1000001, "1.000001 MHz"},
        {333333333, "333.333333 MHz"},
        {2000000000, "2 GHz"},
        {1000000001, "1.000000001 GHz"},
        {5000000000000, "5000 GHz"},
    };
    for (const auto& [hertz, text] : cases) {
        EXPECT_EQ(exactHertzText(hertz), text) << hertz;
    }
}

}  // namespace
