#include "display/ReadingCells.h"

#include "data/Reading.h"
#include "display/ValueListColors.h"

TReadingCells TReadingCells::Of(int16_t tenths, bool adjusted) {
    uint32_t color = adjusted ? ValueListColor::kAdjusted : ValueListColor::kBlack;
    if (tenths == kReadingLost)
        color = ValueListColor::kLost;
    return {FormatReading(tenths, true), IsValidReading(tenths), color};
}
