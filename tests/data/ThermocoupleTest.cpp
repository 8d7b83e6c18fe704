#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <span>
#include <sstream>
#include <string>

#include "data/Thermocouple.h"
#include "data/ThermocoupleReference.h"
#include "data/ThermocoupleTables.h"

namespace {

std::string RunGenerator(const std::string& what) {
    const std::string command = std::string("'") + HOLLOWMERE_PYTHON + "' '" + HOLLOWMERE_SOURCE_TREE +
                                "/tools/make_thermocouple_tables.py' " + what;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return {};
    std::string output;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    return pclose(pipe) == 0 ? output : std::string();
}

std::string ReadSource(const std::string& relativePath) {
    std::ifstream in(std::string(HOLLOWMERE_SOURCE_TREE) + "/" + relativePath, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ThermocoupleTables, CommittedFilesEqualTheGeneratorOutput) {
    ASSERT_STRNE(HOLLOWMERE_PYTHON, "") << "no Python 3 interpreter to run the generator";
    const struct {
        const char* what;
        const char* path;
    } outputs[] = {{"tables", "src/data/ThermocoupleTables.h"},
                   {"reference", "tests/data/ThermocoupleReference.h"}};
    for (const auto& o : outputs) {
        const std::string generated = RunGenerator(o.what);
        ASSERT_FALSE(generated.empty()) << "generator failed: " << o.what;
        EXPECT_EQ(generated, ReadSource(o.path)) << o.path << " differs from the generator's output";
    }
}

std::span<const int32_t> Table(int type) {
    switch (type) {
        case kThermocoupleK:
            return kTypeKMicrovolts;
        case kThermocoupleT:
            return kTypeTMicrovolts;
        default:
            return kTypeJMicrovolts;
    }
}

TEST(ThermocoupleTables, SpansRiseStrictlyAndHitThePublishedPoints) {
    EXPECT_EQ(kTypeKFirstCelsius, -200);
    EXPECT_EQ(Table(kThermocoupleK).size(), 1501u);
    EXPECT_EQ(kTypeTFirstCelsius, -200);
    EXPECT_EQ(Table(kThermocoupleT).size(), 601u);
    EXPECT_EQ(kTypeJFirstCelsius, -200);
    EXPECT_EQ(Table(kThermocoupleJ).size(), 1201u);
    for (int type : {kThermocoupleK, kThermocoupleT, kThermocoupleJ}) {
        const auto table = Table(type);
        for (size_t i = 1; i < table.size(); ++i) ASSERT_LT(table[i - 1], table[i]) << type << " row " << i;
    }
    // Published NIST ITS-90 table values, mV x 1000.
    const struct {
        int type;
        int celsius;
        int32_t microvolts;
    } points[] = {
        {1, -200, -5891}, {1, -100, -3554}, {1, -50, -1889},  {1, 0, 0},        {1, 100, 4096},
        {1, 200, 8138},   {1, 500, 20644},  {1, 1000, 41276}, {1, 1300, 52410}, {2, -200, -5603},
        {2, -100, -3379}, {2, -50, -1819},  {2, 0, 0},        {2, 100, 4279},   {2, 200, 9288},
        {2, 300, 14862},  {2, 400, 20872},  {3, -200, -7890}, {3, -100, -4633}, {3, 0, 0},
        {3, 100, 5269},   {3, 300, 16327},  {3, 500, 27393},  {3, 760, 42919},  {3, 1000, 57953},
    };
    for (const auto& p : points) {
        EXPECT_EQ(Table(p.type)[static_cast<size_t>(p.celsius + 200)], p.microvolts)
            << p.type << " " << p.celsius;
    }
}

// The exact reference function E(t) in mV.
double ReferenceEmf(int type, double celsius) {
    const TReferenceFunction& f = ReferenceFunctions()[static_cast<size_t>(type - 1)];
    for (const TReferenceRange& range : f.ranges) {
        if (celsius < range.tmin || celsius > range.tmax)
            continue;
        double e = 0;
        for (auto c = range.c.rbegin(); c != range.c.rend(); ++c) e = e * celsius + *c;
        if (f.hasExponential && range.tmin >= 0)
            e += f.a0 * std::exp(f.a1 * (celsius - f.a2) * (celsius - f.a2));
        return e;
    }
    return NAN;
}

// A unit that measures exactly what the reference function says decodes within 0.05 degC over the
// whole table (0.025 degC above 0 degC), with the cold junction at the tables' reference point and
// at room temperatures. (The cold-junction and the thermocouple lookups each carry the tables'
// 0.0005 mV rounding; at some cold junctions the two add up to about 0.057 degC near -190 degC.)
TEST(ThermocoupleToTemperature, DecodesReferenceCountsAccuratelyOverEachTable) {
    const struct {
        int type;
        int last;
    } types[] = {{kThermocoupleK, 1300}, {kThermocoupleT, 400}, {kThermocoupleJ, 1000}};
    for (const auto& t : types) {
        double worst = 0;
        for (double coldJunction : {0.0, 23.46875, 25.0}) {
            for (int step = 1; step < (t.last + 200) * 10; ++step) {
                const double truth = -200.0 + step * 0.1;
                const double emf = ReferenceEmf(t.type, truth) - ReferenceEmf(t.type, coldJunction);
                const auto count = static_cast<int32_t>(std::lround(emf / kMillivoltsPerCount));
                double decoded = 0;
                ASSERT_TRUE(ThermocoupleToTemperature(t.type, coldJunction, count, 0, 1.0, decoded))
                    << t.type << " at " << truth;
                const double error = std::fabs(decoded - truth);
                ASSERT_LE(error, truth > 0 ? 0.025 : 0.05) << "type " << t.type << " at " << truth << " degC";
                worst = std::max(worst, error);
            }
        }
        RecordProperty("worst_error_type_" + std::to_string(t.type), std::to_string(worst));
    }
}

TEST(ThermocoupleToTemperature, FailsOutsideTheTablesAndForUnknownTypes) {
    double celsius = 0;
    EXPECT_TRUE(ThermocoupleToTemperature(kThermocoupleK, 25.0, 0, 0, 1.0, celsius));
    EXPECT_NEAR(celsius, 25.0, 1e-9);
    for (int type : {0, 4, -1})
        EXPECT_FALSE(ThermocoupleToTemperature(type, 25.0, 0, 0, 1.0, celsius)) << type;
    // The cold junction must lie strictly inside the table.
    EXPECT_FALSE(ThermocoupleToTemperature(kThermocoupleK, -200.0, 0, 0, 1.0, celsius));
    EXPECT_FALSE(ThermocoupleToTemperature(kThermocoupleT, 400.0, 0, 0, 1.0, celsius));
    EXPECT_TRUE(ThermocoupleToTemperature(kThermocoupleT, -199.96875, 0, 0, 1.0, celsius));
    // EMF exactly on the first or last row, or beyond it, fails; just inside converts.
    const struct {
        int type;
        double firstMv;
        double lastMv;
    } edges[] = {
        {kThermocoupleK, -5.891, 52.410}, {kThermocoupleT, -5.603, 20.872}, {kThermocoupleJ, -7.890, 57.953}};
    for (const auto& e : edges) {
        // With the cold junction at 0 degC the count alone is the EMF; 2^17 counts per mV.
        const auto first = static_cast<int32_t>(std::lround(e.firstMv * 131072));
        const auto last = static_cast<int32_t>(std::lround(e.lastMv * 131072));
        EXPECT_FALSE(ThermocoupleToTemperature(e.type, 0.0, first - 1, 0, 1.0, celsius)) << e.type;
        EXPECT_FALSE(ThermocoupleToTemperature(e.type, 0.0, last + 1, 0, 1.0, celsius)) << e.type;
        EXPECT_TRUE(ThermocoupleToTemperature(e.type, 0.0, first + 2, 0, 1.0, celsius)) << e.type;
        EXPECT_NEAR(celsius, -200.0, 0.01);
        EXPECT_TRUE(ThermocoupleToTemperature(e.type, 0.0, last - 2, 0, 1.0, celsius)) << e.type;
    }
    // A converter at full scale, and a corrupt gain, give no temperature.
    EXPECT_FALSE(ThermocoupleToTemperature(kThermocoupleK, 25.0, kCountMax, 0, 0.1, celsius));
    EXPECT_FALSE(ThermocoupleToTemperature(kThermocoupleK, 25.0, kCountMin, 0, 0.1, celsius));
    EXPECT_FALSE(ThermocoupleToTemperature(kThermocoupleK, 25.0, 100, 0, NAN, celsius));
    EXPECT_FALSE(ThermocoupleToTemperature(kThermocoupleK, 25.0, 100, 0, INFINITY, celsius));
}

}  // namespace
