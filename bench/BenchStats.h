// BenchStats: order statistics of a set of measurements, for the benchmark programs' reports.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace zolv::bench {

// The value below which the fraction `q` of the samples lies, interpolated between neighbours.
inline double Quantile(std::vector<double> samples, double q) {
  if (samples.empty())
    return 0;
  std::sort(samples.begin(), samples.end());
  const double at = q * static_cast<double>(samples.size() - 1);
  const auto below = static_cast<std::size_t>(at);
  const std::size_t above = std::min(below + 1, samples.size() - 1);
  return samples[below] + (samples[above] - samples[below]) * (at - static_cast<double>(below));
}

inline double Median(const std::vector<double>& samples) {
  return Quantile(samples, 0.5);
}

}  // namespace zolv::bench
