// The two shapes of sample output: CSV for scripts, an aligned table for people.
// Both write a header (a time column, then one column per counter path) and one
// line per sample; an empty field is a value that could not be read.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel::cli {

enum class OutputFormat { Csv, Table };

class RowWriter {
public:
    virtual ~RowWriter() = default;
    virtual void header(const std::vector<std::string>& columns) = 0;
    virtual void row(std::string_view time, const std::vector<std::string>& fields) = 0;
};

// CSV writes the header at once, so a run stopped before its first sample still
// names its columns. The table waits for the first row to size its columns (the
// widest of the header and that row); a later, wider value pushes only its own row.
std::unique_ptr<RowWriter> makeRowWriter(OutputFormat format, std::ostream& out);

}  // namespace vantorel::cli
