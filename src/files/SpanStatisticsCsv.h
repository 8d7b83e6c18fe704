#pragma once
// The statistics of a span as CSV text: a header line and a line per channel, CR LF, UTF-8. The
// span window copies and saves it, hollowmere-stats prints it.
#include <string>

#include "data/SpanStatistics.h"

namespace VEK {

inline constexpr const char* kSpanStatisticsHeader =
    "channel,comment,from,to,delta,min,min_record,max,max_record,mean,rate_per_min,valid,missing";

// from and to are the readings at A and B, delta B minus A, in the data's unit with one decimal as
// in the data file; mean and rate_per_min (delta per minute from A to B) with two; records count
// from 0. A missing value leaves its cell empty. A comment holding a comma, a quote or a line end
// is quoted, its quotes doubled.
std::string SpanStatisticsCsv(const TSpanStatistics& span);
// The text above written to path through a temporary file that replaces it only when whole;
// false, with the file as it was, on any failure.
bool SaveSpanStatisticsCsv(const std::string& path, const TSpanStatistics& span);

}  // namespace VEK
