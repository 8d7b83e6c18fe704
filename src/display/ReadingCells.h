#pragma once
#include <cstdint>
#include <string>

// How a value list shows a reading: the signed text ("+25.0 ", "Lost", "Out Of Range"), whether it
// is a temperature, and its colour: red when Lost, else blue for an adjusted channel, else black.
struct TReadingCells {
    std::string text;
    bool valid = false;
    uint32_t color = 0;

    static TReadingCells Of(int16_t tenths, bool adjusted);
};
