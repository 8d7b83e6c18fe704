#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "files/AccessorSection.h"

// The colours of the channels' row-header patches, 0xRRGGBB: entry 0 the grey of a channel hidden
// from the graph, 1..100 the channels' graph colours from define.ini "parameter" "chc<n>" (six
// hexadecimal digits RRGGBB) with the ten-colour cycle as default. Read here until the display's
// colour table takes over.
std::array<uint32_t, 101> ReadChannelMarkColors(const VEK::AccessorSection& parameter);
// "RRGGBB" padded on the right with zeros; each pair read as far as it is hexadecimal.
uint32_t ParseRrggbb(const std::string& text);
