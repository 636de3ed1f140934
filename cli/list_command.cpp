#include "cli/list_command.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "cli/counter_pattern.h"
#include "cli/display_text.h"
#include "cli/exit_codes.h"

namespace vantorel::cli {
namespace {

constexpr std::string_view kPlaceholder = "<instance>";

bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

void writePath(std::ostream& out, const std::string& path, const pdh::CounterInfo& counter, bool describe) {
    out << shellQuotedIfControls(path) << '\n';
    if (describe) out << "    " << displayText(counter.description) << " (" << displayText(counter.unit) << ")\n";
}

void writeObject(std::ostream& out, const pdh::Enumeration& enumeration, const pdh::ObjectInfo& object,
                 const ListOptions& options) {
    if (!object.hasInstances || !options.instances) {
        for (const pdh::CounterInfo& c : object.counters)
            writePath(out, pdh::makeCounterPath(object.name, kPlaceholder, c.name, object.hasInstances), c,
                      options.describe);
        return;
    }
    for (const std::string& instance : enumeration.instances(object.name))
        for (const pdh::CounterInfo& c : object.counters)
            writePath(out, pdh::makeCounterPath(object.name, instance, c.name, true), c, options.describe);
}

void writePattern(std::ostream& out, const std::vector<pdh::ObjectInfo>& objects, const std::string& path,
                  bool describe) {
    const std::optional<CounterPattern> parsed = parseCounterPattern(path);
    for (const pdh::ObjectInfo& o : objects)
        for (const pdh::CounterInfo& c : o.counters)
            if (parsed && sameName(o.name, parsed->object) && sameName(c.name, parsed->counter))
                return writePath(out, path, c, describe);
}

}  // namespace

int listCounters(const pdh::Enumeration& enumeration, const ListOptions& options, std::ostream& out,
                 std::ostream& err) {
    const std::vector<pdh::ObjectInfo> objects = enumeration.objects();
    std::vector<const pdh::ObjectInfo*> chosen;
    bool allKnown = true;
    for (const std::string& name : options.objects) {
        const auto found = std::find_if(objects.begin(), objects.end(),
                                        [&](const pdh::ObjectInfo& o) { return sameName(o.name, name); });
        if (found != objects.end()) {
            chosen.push_back(&*found);
            continue;
        }
        err << "vantorel-cli: unknown object \"" << displayText(name) << "\"; the objects are:";
        for (std::size_t i = 0; i < objects.size(); ++i) err << (i == 0 ? " " : ", ") << objects[i].name;
        err << '\n';
        allKnown = false;
    }
    std::vector<std::vector<std::string>> matched;
    for (const std::string& text : options.patterns) {
        const std::optional<CounterPattern> pattern = parseCounterPattern(text);
        matched.push_back(pattern ? expandPattern(enumeration, *pattern) : std::vector<std::string>{});
        if (matched.back().empty()) {
            err << "vantorel-cli: \"" << displayText(text) << "\" matches no counter\n";
            allKnown = false;
        }
    }
    if (!allKnown) return kExitUsage;
    if (options.objects.empty() && options.patterns.empty())
        for (const pdh::ObjectInfo& o : objects) chosen.push_back(&o);

    for (const pdh::ObjectInfo* object : chosen)
        if (object != nullptr) writeObject(out, enumeration, *object, options);
    for (const std::vector<std::string>& paths : matched)
        for (const std::string& path : paths) writePattern(out, objects, path, options.describe);
    out.flush();
    if (!out) {
        err << "vantorel-cli: cannot write the output\n";
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace vantorel::cli
