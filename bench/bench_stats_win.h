// The bench's clock and the figures it draws from its series of times.
#pragma once

#include <vector>

namespace tarvik::bench {

double Now();  // milliseconds, from the performance counter
double Median(std::vector<double> values);
// The value below which `share` of the values lie.
double Percentile(std::vector<double> values, double share);
double Mean(const std::vector<double>& values);

}  // namespace tarvik::bench
