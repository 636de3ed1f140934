#include "cli/serve/metric_naming.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <set>

namespace vantorel::cli::serve {
namespace {

using pdh::CounterDef;
using pdh::Kind;
using pdh::Unit;

bool isCumulative(Kind kind) { return kind == Kind::Rate || kind == Kind::TickShare; }

std::vector<std::string> words(std::string_view name) {
    if (name.ends_with("/sec")) name.remove_suffix(4);
    std::vector<std::string> out;
    std::string word;
    char previous = ' ';
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (!std::isalnum(u)) {
            if (!word.empty()) out.push_back(std::move(word));
            word.clear();
        } else {
            // "PhysicalDisk": a capital after a small letter starts a word.
            if (std::isupper(u) && std::islower(static_cast<unsigned char>(previous)) && !word.empty()) {
                out.push_back(std::move(word));
                word.clear();
            }
            word += static_cast<char>(std::tolower(u));
        }
        previous = c;
    }
    if (!word.empty()) out.push_back(std::move(word));
    return out;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts) {
        if (!out.empty()) out += '_';
        out += p;
    }
    return out;
}

// The suffix Prometheus expects of the base unit the family's values are in.
std::string_view unitSuffix(const CounterDef& c) {
    if (c.kind == Kind::Elapsed) return "_seconds";
    if (isCumulative(c.kind)) {
        switch (c.unit) {
            case Unit::Bytes:
            case Unit::Kibibytes:
            case Unit::Mebibytes:
            case Unit::BytesPerSecond:
            case Unit::KibibytesPerSecond: return "_bytes_total";
            case Unit::BitsPerSecond: return "_bits_total";
            // A share of time, or a count averaged over time: busy or weighted seconds.
            case Unit::Percent:
            case Unit::Count:
            case Unit::Seconds:
            case Unit::Milliseconds: return "_seconds_total";
            case Unit::PerSecond:
            case Unit::Megahertz:
            case Unit::Celsius:
            case Unit::Rpm:
            case Unit::Millivolts:
            case Unit::Milliamperes:
            case Unit::Watts:
            case Unit::WattHours: return "_total";
        }
        return "_total";
    }
    switch (c.unit) {
        case Unit::Percent: return "_ratio";
        case Unit::Bytes:
        case Unit::Kibibytes:
        case Unit::Mebibytes: return "_bytes";
        case Unit::Seconds:
        case Unit::Milliseconds: return "_seconds";
        case Unit::BytesPerSecond:
        case Unit::KibibytesPerSecond: return "_bytes_per_second";
        case Unit::BitsPerSecond: return "_bits_per_second";
        case Unit::PerSecond: return "_per_second";
        case Unit::Megahertz: return "_hertz";
        case Unit::Celsius: return "_celsius";
        case Unit::Rpm: return "_rpm";
        case Unit::Millivolts: return "_volts";
        case Unit::Milliamperes: return "_amperes";
        case Unit::Watts: return "_watts";
        case Unit::WattHours: return "_joules";
        case Unit::Count: return "";
    }
    return "";
}

// Words that only repeat the unit the suffix states.
bool isUnitWord(const std::string& word, std::string_view suffix) {
    static const std::set<std::string, std::less<>> bytes{"bytes", "kbytes", "mbytes", "megabytes", "kilobytes"};
    if (suffix.starts_with("_bytes")) return bytes.contains(word);
    if (suffix.starts_with("_seconds")) return word == "seconds";
    return false;
}

std::string counterPart(const pdh::ObjectDef& object, const CounterDef& counter, std::string_view suffix) {
    std::vector<std::string> w = words(counter.name);
    const std::vector<std::string> objectWords = words(object.name);
    // "System Up Time" of System: the object's name is already in front.
    if (w.size() > objectWords.size() && std::equal(objectWords.begin(), objectWords.end(), w.begin()))
        w.erase(w.begin(), w.begin() + static_cast<std::ptrdiff_t>(objectWords.size()));
    std::vector<std::string> kept;
    for (std::string& word : w) {
        // "5 Minutes" of a load average: a window's length, not a unit ("5m").
        if ((word == "minute" || word == "minutes") && !kept.empty() &&
            std::all_of(kept.back().begin(), kept.back().end(), [](char c) { return c >= '0' && c <= '9'; })) {
            kept.back() += 'm';
            continue;
        }
        if (!isUnitWord(word, suffix)) kept.push_back(std::move(word));
    }
    // "_count" belongs to histograms and summaries: "Thread Count" is "threads".
    if (kept.size() > 1 && kept.back() == "count") {
        kept.pop_back();
        if (!kept.back().ends_with('s')) kept.back() += 's';
    }
    if (kept.empty()) kept.emplace_back("value");
    return joined(kept);
}

// Two counters that give the same series once in base units.
bool sameSeries(const CounterDef& x, const CounterDef& y) {
    return x.object == y.object && x.kind == y.kind && x.a == y.a && x.b == y.b && x.complement == y.complement &&
           std::abs(x.scale * pdh::unitToBase(x.unit) - y.scale * pdh::unitToBase(y.unit)) <=
               1e-12 * std::abs(x.scale * pdh::unitToBase(x.unit));
}

// A cumulative counter over several fields each of which another counter of its
// object exports alone at the same factor: Prometheus sums those itself.
bool isSumOfOthers(const CounterDef& c, std::span<const CounterDef> all) {
    if (!isCumulative(c.kind) || std::popcount(c.a) < 2 || c.b != 0) return false;
    pdh::FieldMask covered = 0;
    for (const CounterDef& other : all) {
        if (&other == &c || other.object != c.object || other.kind != c.kind || (other.a & ~c.a) != 0 ||
            other.a == c.a || std::popcount(other.a) != 1)
            continue;
        if (std::abs(other.scale * pdh::unitToBase(other.unit) - c.scale * pdh::unitToBase(c.unit)) >
            1e-12 * std::abs(c.scale))
            continue;
        covered |= other.a;
    }
    return covered == c.a;
}

}  // namespace

std::string snakeCase(std::string_view name) { return joined(words(name)); }

FamilySpec familyFor(const pdh::ObjectDef& object, const CounterDef& counter) {
    const std::string_view suffix = unitSuffix(counter);
    FamilySpec spec;
    spec.counter = &counter;
    spec.name = "vantorel_" + snakeCase(object.name) + "_" + counterPart(object, counter, suffix) + std::string(suffix);
    spec.help = std::string(counter.description);
    spec.isCounter = isCumulative(counter.kind);
    if (object.hasInstances) {
        // "instance" is the label Prometheus gives the scraped target.
        spec.label = object.instanceLabel == "instance" || object.instanceLabel.empty() ? snakeCase(object.name)
                                                                                         : std::string(object.instanceLabel);
    }
    return spec;
}

std::vector<FamilySpec> exportedFamilies() {
    const std::span<const CounterDef> all = pdh::counterCatalogue();
    std::vector<FamilySpec> out;
    std::set<std::string, std::less<>> names;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const CounterDef& c = all[i];
        const bool repeats = std::any_of(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(i),
                                         [&](const CounterDef& earlier) { return sameSeries(earlier, c); });
        // A ratio of two counts' deltas (latency, a share of retransmissions) is
        // a rate over a rate: Prometheus makes it from the counts themselves.
        const bool rateOfRates = c.kind == Kind::DeltaRatio || c.kind == Kind::EventShare;
        if (repeats || rateOfRates || isSumOfOthers(c, all)) continue;
        FamilySpec spec = familyFor(pdh::objectDef(c.object), c);
        if (!names.insert(spec.name).second) continue;
        out.push_back(std::move(spec));
    }
    return out;
}

}  // namespace vantorel::cli::serve
