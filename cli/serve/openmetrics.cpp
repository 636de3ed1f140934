#include "cli/serve/openmetrics.h"

#include <cmath>
#include <cstdio>

namespace vantorel::cli::serve {
namespace {

void appendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            case '\n': out += "\\n"; break;
            default: out += c;
        }
    }
}

void appendNumber(std::string& out, double value) {
    if (std::isnan(value)) return void(out += "NaN");
    if (std::isinf(value)) return void(out += value > 0 ? "+Inf" : "-Inf");
    char buffer[32];
    const int n = std::snprintf(buffer, sizeof buffer, "%.17g", value);
    out.append(buffer, static_cast<std::size_t>(n));
}

}  // namespace

bool acceptsOpenMetrics(std::string_view accept) {
    // Each media range up to its ';' parameters; a q of 0 refuses it.
    while (!accept.empty()) {
        const std::size_t comma = accept.find(',');
        std::string_view range = accept.substr(0, comma);
        accept = comma == std::string_view::npos ? std::string_view{} : accept.substr(comma + 1);
        while (!range.empty() && range.front() == ' ') range.remove_prefix(1);
        if (!range.starts_with("application/openmetrics-text")) continue;
        const std::size_t q = range.find("q=");
        if (q != std::string_view::npos && range.substr(q + 2).starts_with('0') &&
            range.substr(q + 2).find_first_of("123456789") == std::string_view::npos)
            continue;
        return true;
    }
    return false;
}

std::string toOpenMetrics(const std::vector<prometheus::MetricFamily>& families) {
    std::string out;
    out.reserve(families.size() * 256);
    for (const prometheus::MetricFamily& f : families) {
        const bool counter = f.type == prometheus::MetricType::Counter;
        if (!counter && f.type != prometheus::MetricType::Gauge) continue;
        // A counter family is named without its _total; its samples carry it.
        std::string name = f.name;
        if (counter && name.ends_with("_total")) name.resize(name.size() - 6);
        out += "# TYPE " + name + (counter ? " counter\n" : " gauge\n");
        out += "# HELP " + name + ' ';
        appendEscaped(out, f.help);
        out += '\n';
        for (const prometheus::ClientMetric& m : f.metric) {
            out += name;
            if (counter) out += "_total";
            if (!m.label.empty()) {
                out += '{';
                for (std::size_t i = 0; i < m.label.size(); ++i) {
                    if (i > 0) out += ',';
                    out += m.label[i].name + "=\"";
                    appendEscaped(out, m.label[i].value);
                    out += '"';
                }
                out += '}';
            }
            out += ' ';
            appendNumber(out, counter ? m.counter.value : m.gauge.value);
            out += '\n';
        }
    }
    out += "# EOF\n";
    return out;
}

}  // namespace vantorel::cli::serve
