#include "cli/command_line.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "cli/counter_pattern.h"
#include "cli/display_text.h"
#include "cli/exit_codes.h"
#include "cli/list_command.h"
#include "cli/sample_command.h"
#include "cli/serve_command.h"
#include "platform/pdh/engine/library.h"

namespace vantorel::cli {
namespace {

constexpr double kMinInterval = 0.01;

// 1 to 2^63-1, decimal digits only.
std::optional<std::uint64_t> sampleCount(std::string_view text) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || text.front() == '-' || error != std::errc{} || end != text.data() + text.size() || value < 1)
        return std::nullopt;
    return static_cast<std::uint64_t>(value);
}
constexpr double kMaxInterval = 86400.0;

constexpr const char* kFooter =
    "--proc-root and --sys-root read a tree that a capture copied from a machine:\n"
    "counters of space on file systems read no value there.\n"
    "\n"
    "Exit status: 0 success (a run ended by Ctrl+C included), 1 failure while running,\n"
    "2 bad arguments, an unknown object or a counter path the library refuses.";

constexpr const char* kSampleFooter =
    "The first row comes from the first collect and is the average since boot (for a\n"
    "Process counter, since the process started); each later row covers the interval\n"
    "before it. Collects keep to a fixed schedule from the first one: a late collect\n"
    "does not shift the rest, and a point missed entirely is skipped.\n"
    "\n"
    "CSV: a header row (time, then each PATH as given), one row per sample, fields\n"
    "quoted as RFC 4180 asks, lines ending in LF. Times are local ISO 8601 with\n"
    "milliseconds and the UTC offset. Values are decimals with at most three places,\n"
    "trailing zeros dropped. A value that cannot be read leaves its field empty and\n"
    "puts one line on stderr naming the path and the status; sampling goes on.\n"
    "\n"
    "Without --samples it runs until Ctrl+C (SIGINT) or SIGTERM, which end it at once\n"
    "after the last complete row, with exit status 0. Every row is flushed as written.";

constexpr const char* kServeFooter =
    "Each scrape collects afresh; nothing is sampled between scrapes. One metric family\n"
    "per counter, vantorel_<object>_<counter> with its unit's suffix and the counter's\n"
    "description as help. Cumulative counters are exported raw (_total, in bytes or\n"
    "seconds: use rate()), shares of time as seconds, percentages as 0..1 ratios. The\n"
    "instance is a label named for what it is (cpu, interface, device, mountpoint...).\n"
    "By default every object but Process, every instance but a _Total that sums the\n"
    "others; --include '\\Process(firefox:*)\\*' opts in, --exclude takes out (it wins).\n"
    "The text format is 0.0.4, or OpenMetrics 1.0 when the Accept header asks for it.";

const char* const kPatternHelp =
    "PATTERNS: a counter path whose instance or counter holds '*' stands for every\n"
    "match among the counters and the instances that exist now, for example\n"
    "'\\Processor(*)\\% Processor Time' or '\\Process(firefox:*)\\*'. The object is named\n"
    "in full. '*' matches any run of characters; write \"[*]\" for a '*' that is part\n"
    "of an instance name and \"[[]\" for a '['. Quote patterns from the shell.";

std::vector<std::string> expandPaths(const pdh::Enumeration& enumeration, const std::vector<std::string>& args,
                                     std::ostream& err, bool& ok) {
    std::vector<std::string> paths;
    ok = true;
    for (const std::string& arg : args) {
        const std::optional<CounterPattern> pattern = parseCounterPattern(arg);
        if (!pattern || !pattern->isWildcard()) {
            // Not a pattern: the library judges the path as written, escapes undone.
            paths.push_back(pattern ? pattern->literalPath() : arg);
            continue;
        }
        std::vector<std::string> matched = expandPattern(enumeration, *pattern);
        if (matched.empty()) {
            err << "vantorel-cli: \"" << displayText(arg) << "\" matches no counter now\n";
            ok = false;
        }
        paths.insert(paths.end(), matched.begin(), matched.end());
    }
    return paths;
}

}  // namespace

int runCommandLine(const std::vector<std::string>& args, const Roots& roots, Pacer& pacer, std::ostream& out,
                   std::ostream& err) {
    CLI::App app{"Reads this machine's performance counters from /proc and /sys.", "vantorel-cli"};
    app.set_version_flag("--version", std::string("vantorel-cli ") + VANTOREL_VERSION);
    app.require_subcommand(1);
    app.footer(kFooter);
    Roots tree = roots;
    app.add_option("--proc-root", tree.proc,
                   "Read DIR/proc/... instead of /proc/...: a tree captured from a machine.")
        ->type_name("DIR");
    app.add_option("--sys-root", tree.sys, "Read DIR/sys/... instead of /sys/....")->type_name("DIR");

    ListOptions list;
    CLI::App* listCommand = app.add_subcommand("list", "List the counter paths, one a line.");
    std::vector<std::string> listArgs;
    listCommand
        ->add_option("OBJECT|PATTERN", listArgs,
                     "Only these objects (case does not matter), or the counters a pattern such as\n"
                     "'\\Processor(*)\\% Processor Time' matches (see PATTERNS below).")
        ->type_name("OBJECT|PATTERN");
    listCommand->footer(kPatternHelp);
    listCommand->add_flag("--instances", list.instances,
                          "One path per instance that exists now, instead of \"(<instance>)\".");
    listCommand->add_flag("--describe", list.describe, "Follow each path with its counter's description.");

    SampleOptions sample;
    double interval = 1.0;
    std::string format = "csv";
    CLI::App* sampleCommand = app.add_subcommand("sample", "Collect the counters at a steady interval.");
    sampleCommand->add_option("--interval", interval, "Seconds between collects, 0.01 to 86400.")
        ->check(CLI::Range(kMinInterval, kMaxInterval).description(""))
        ->type_name("SECONDS")
        ->capture_default_str();
    // Taken as text and checked whole: a number parser that saturates would
    // turn 2^64 into the largest count instead of refusing it.
    std::string samplesText;
    sampleCommand->add_option("--samples", samplesText, "Rows to write, then stop (default: until Ctrl+C).")
        ->check(CLI::Validator(
            [](const std::string& text) { return sampleCount(text) ? std::string() : "not a count from 1 to 2^63-1: " + text; },
            "", ""))
        ->type_name("N");
    sampleCommand->add_option("--format", format, "csv for scripts, table for people.")
        ->check(CLI::IsMember({"csv", "table"}).description(""))
        ->type_name("csv|table")
        ->capture_default_str();
    sampleCommand->add_option("PATH", sample.paths,
                              "Counter paths, \\Object(Instance)\\Counter or \\Object\\Counter, or patterns.")
        ->type_name("PATH")
        ->required();
    sampleCommand->footer(std::string(kSampleFooter) + "\n\n" + kPatternHelp);

    ServeOptions serve;
    CLI::App* serveCommand =
        app.add_subcommand("serve", "Serve the counters to Prometheus over HTTP at /metrics, until Ctrl+C or SIGTERM.");
    serveCommand->add_option("--listen", serve.listen, "IPV4:PORT or [IPV6]:PORT to listen on; loopback by default.")
        ->type_name("ADDR:PORT")
        ->capture_default_str();
    serveCommand->add_option("--include", serve.includes, "Export these counters too (a pattern; repeatable).")
        ->type_name("PATTERN");
    serveCommand->add_option("--exclude", serve.excludes, "Leave these counters out (a pattern; repeatable).")
        ->type_name("PATTERN");
    serveCommand->add_option("--basic-auth-file", serve.basicAuthFile,
                             "Require HTTP basic authentication; the file's first line is user:password.")
        ->type_name("FILE");
    serveCommand->footer(std::string(kServeFooter) + "\n\n" + kPatternHelp);

    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
        // A range check lets NaN through: it compares false both ways.
        if (sampleCommand->parsed() && !std::isfinite(interval))
            throw CLI::ValidationError("--interval", "not a number of seconds: " + std::to_string(interval));
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e, out, err);
        return code == 0 ? kExitOk : kExitUsage;
    }

    // Under a captured tree the library measures no file system of this machine
    // and its clock is the tree's uptime.
    pdh::Library library(tree.proc, tree.sys);
    if (listCommand->parsed()) {
        for (std::string& arg : listArgs) (arg.starts_with('\\') ? list.patterns : list.objects).push_back(std::move(arg));
        return listCounters(library.enumeration(), list, out, err);
    }
    if (serveCommand->parsed()) return serveMetrics(library, serve, pacer, out, err);
    bool expanded = true;
    sample.paths = expandPaths(library.enumeration(), sample.paths, err, expanded);
    if (!expanded) return kExitUsage;

    sample.interval = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::duration<double>(interval));
    sample.samples = samplesText.empty() ? 0 : *sampleCount(samplesText);
    sample.format = format == "table" ? OutputFormat::Table : OutputFormat::Csv;
    return sampleCounters(library, sample, pacer, out, err);
}

}  // namespace vantorel::cli
