#pragma once
#include <cstdint>

// The raw values a unit sends for one sample.
struct TSampleValue {
    int32_t sensor = 0;        // cold junction, 1/32 degC
    int32_t thermocouple = 0;  // converter count
};

// The raw values that make the receiver store a data file's reading again on a channel of the
// thermocouple type given. A reading that the cold-junction word can carry is sent as the cold
// junction with a zero thermocouple count, which every type reads back alike; a hotter or colder
// one as the type's count over a 0 degC cold junction; Lost, Out Of Range, an unknown type and
// temperatures beyond the type's table as the converter's full scale, which the receiver keeps as
// Out Of Range. temperatureUnit: 0 degC, 1 degF (the readings' unit).
TSampleValue ReplaySample(int16_t reading, uint32_t temperatureUnit, int32_t thermocoupleType);
