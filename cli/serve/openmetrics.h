// OpenMetrics 1.0 text for the families a Collectable returns (counters and
// gauges), for a scraper that asks for it; the library writes the 0.0.4 text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <prometheus/metric_family.h>

namespace vantorel::cli::serve {

inline constexpr std::string_view kOpenMetricsType = "application/openmetrics-text; version=1.0.0; charset=utf-8";

// True when an Accept header asks for OpenMetrics (Prometheus asks for it first
// and for the 0.0.4 text as a fallback).
bool acceptsOpenMetrics(std::string_view accept);

std::string toOpenMetrics(const std::vector<prometheus::MetricFamily>& families);

}  // namespace vantorel::cli::serve
