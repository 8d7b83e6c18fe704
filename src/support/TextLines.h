#pragma once
#include <string_view>
#include <vector>

namespace VEK {

// The lines of text, each without its end (CR, LF or CR LF; an empty line counts). A last line
// with no end is kept only when asked: a file still being written may end inside a line.
std::vector<std::string_view> SplitTextLines(std::string_view text, bool keepUnendedLast);

}  // namespace VEK
