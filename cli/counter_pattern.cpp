#include "cli/counter_pattern.h"

#include <cctype>

#include "platform/pdh/engine/counter_path.h"

namespace vantorel::cli {
namespace {

// One element of a glob: a wildcard, or one literal character.
struct GlobChar {
    bool star = false;
    char c = 0;
    std::size_t width = 1;  // characters of the glob it takes
};

GlobChar globAt(std::string_view glob, std::size_t i) {
    if (glob[i] == '*') return {true, 0, 1};
    if (glob[i] == '[' && i + 2 < glob.size() && glob[i + 2] == ']' && (glob[i + 1] == '*' || glob[i + 1] == '['))
        return {false, glob[i + 1], 3};
    return {false, glob[i], 1};
}

char fold(char c, bool ignoreCase) {
    return ignoreCase ? static_cast<char>(std::tolower(static_cast<unsigned char>(c))) : c;
}

}  // namespace

bool globMatches(std::string_view glob, std::string_view text, bool ignoreCase) {
    // Iterative, with one backtrack point: linear in practice, never exponential.
    std::size_t g = 0;
    std::size_t t = 0;
    std::size_t starGlob = std::string_view::npos;
    std::size_t starText = 0;
    while (t < text.size()) {
        if (g < glob.size()) {
            const GlobChar gc = globAt(glob, g);
            if (gc.star) {
                starGlob = g + 1;
                starText = t;
                g = starGlob;
                continue;
            }
            if (fold(gc.c, ignoreCase) == fold(text[t], ignoreCase)) {
                g += gc.width;
                ++t;
                continue;
            }
        }
        if (starGlob == std::string_view::npos) return false;
        g = starGlob;
        t = ++starText;
    }
    while (g < glob.size() && globAt(glob, g).star) ++g;
    return g == glob.size();
}

bool hasWildcard(std::string_view glob) {
    for (std::size_t i = 0; i < glob.size(); i += globAt(glob, i).width)
        if (globAt(glob, i).star) return true;
    return false;
}

std::string unescapeGlob(std::string_view glob) {
    std::string out;
    for (std::size_t i = 0; i < glob.size();) {
        const GlobChar gc = globAt(glob, i);
        out += gc.star ? '*' : gc.c;
        i += gc.width;
    }
    return out;
}

bool CounterPattern::isWildcard() const { return hasWildcard(instance) || hasWildcard(counter); }

std::string CounterPattern::literalPath() const {
    return pdh::makeCounterPath(object, unescapeGlob(instance), unescapeGlob(counter), hasInstance);
}

std::optional<CounterPattern> parseCounterPattern(std::string_view text) {
    pdh::ParsedPath parsed;
    if (pdh::parseCounterPath(text, parsed) != ERROR_SUCCESS) return std::nullopt;
    return CounterPattern{parsed.object, parsed.instance, parsed.hasInstance, parsed.counter, std::string(text)};
}

bool matchesObject(const CounterPattern& pattern, std::string_view object, bool hasInstances) {
    return pattern.hasInstance == hasInstances && globMatches(pattern.object, object, true) &&
           !hasWildcard(pattern.object);
}

bool matchesInstance(const CounterPattern& pattern, std::string_view instance) {
    return globMatches(pattern.instance, instance, false);
}

bool matchesCounter(const CounterPattern& pattern, std::string_view counter) {
    return globMatches(pattern.counter, counter, true);
}

std::vector<std::string> expandPattern(const pdh::Enumeration& enumeration, const CounterPattern& pattern) {
    std::vector<std::string> out;
    for (const pdh::ObjectInfo& object : enumeration.objects()) {
        if (!matchesObject(pattern, object.name, object.hasInstances)) continue;
        std::vector<std::string> instances{""};
        if (object.hasInstances) {
            instances.clear();
            if (hasWildcard(pattern.instance)) {
                for (std::string& name : enumeration.instances(object.name))
                    if (matchesInstance(pattern, name)) instances.push_back(std::move(name));
            } else {
                instances.push_back(unescapeGlob(pattern.instance));
            }
        }
        for (const std::string& instance : instances)
            for (const pdh::CounterInfo& counter : object.counters)
                if (matchesCounter(pattern, counter.name))
                    out.push_back(pdh::makeCounterPath(object.name, instance, counter.name, object.hasInstances));
    }
    return out;
}

}  // namespace vantorel::cli
