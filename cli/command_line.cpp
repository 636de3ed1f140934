#include "cli/command_line.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>

#include "cli/exit_codes.h"
#include "cli/list_command.h"
#include "cli/sample_command.h"
#include "platform/pdh/engine/library.h"

namespace vantorel::cli {
namespace {

constexpr double kMinInterval = 0.01;
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
    listCommand->add_option("OBJECT", list.objects, "Only these objects (case does not matter).")->type_name("OBJECT");
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
    // Signed on purpose: parsed as unsigned, "-1" wraps to the largest count.
    std::int64_t samples = 0;
    sampleCommand->add_option("--samples", samples, "Rows to write, then stop (default: until Ctrl+C).")
        ->check(CLI::Range(std::int64_t{1}, std::numeric_limits<std::int64_t>::max()).description(""))
        ->type_name("N");
    sampleCommand->add_option("--format", format, "csv for scripts, table for people.")
        ->check(CLI::IsMember({"csv", "table"}).description(""))
        ->type_name("csv|table")
        ->capture_default_str();
    sampleCommand->add_option("PATH", sample.paths, "Counter paths, \\Object(Instance)\\Counter or \\Object\\Counter.")
        ->type_name("PATH")
        ->required();
    sampleCommand->footer(kSampleFooter);

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
    if (listCommand->parsed()) return listCounters(library.enumeration(), list, out, err);

    sample.interval = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::duration<double>(interval));
    sample.samples = static_cast<std::uint64_t>(samples);
    sample.format = format == "table" ? OutputFormat::Table : OutputFormat::Csv;
    return sampleCounters(library, sample, pacer, out, err);
}

}  // namespace vantorel::cli
