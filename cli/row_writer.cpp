#include "cli/row_writer.h"

#include <algorithm>

#include "cli/csv.h"
#include "cli/display_text.h"

namespace vantorel::cli {
namespace {

constexpr std::string_view kTimeColumn = "time";

class CsvWriter final : public RowWriter {
public:
    explicit CsvWriter(std::ostream& out) : out_(out) {}

    void header(const std::vector<std::string>& columns) override {
        std::vector<std::string> fields{std::string(kTimeColumn)};
        fields.insert(fields.end(), columns.begin(), columns.end());
        out_ << csvRecord(fields);
    }
    void row(std::string_view time, const std::vector<std::string>& values) override {
        std::vector<std::string> fields{std::string(time)};
        fields.insert(fields.end(), values.begin(), values.end());
        out_ << csvRecord(fields);
    }

private:
    std::ostream& out_;
};

class TableWriter final : public RowWriter {
public:
    explicit TableWriter(std::ostream& out) : out_(out) {}

    void header(const std::vector<std::string>& columns) override {
        header_.clear();
        for (const std::string& c : columns) header_.push_back(displayText(c));
        widths_.clear();
    }

    void row(std::string_view time, const std::vector<std::string>& values) override {
        if (widths_.empty()) {
            widths_.push_back(std::max(kTimeColumn.size(), displayWidth(time)));
            for (std::size_t i = 0; i < header_.size(); ++i)
                widths_.push_back(std::max(displayWidth(header_[i]), i < values.size() ? displayWidth(values[i]) : 0));
            std::vector<std::string> names{std::string(kTimeColumn)};
            names.insert(names.end(), header_.begin(), header_.end());
            line(names);
        }
        std::vector<std::string> cells{displayText(time)};
        for (std::size_t i = 0; i < header_.size(); ++i) cells.push_back(i < values.size() ? displayText(values[i]) : "");
        line(cells);
    }

private:
    // The time left-aligned, the numbers right-aligned under their paths.
    void line(const std::vector<std::string>& cells) {
        std::string text;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const std::size_t width = i < widths_.size() ? widths_[i] : 0;
            const std::size_t pad = width - std::min(width, displayWidth(cells[i]));
            if (i == 0) {
                text += cells[i];
                if (cells.size() > 1) text.append(pad, ' ');
            } else {
                text += "  ";
                text.append(pad, ' ');
                text += cells[i];
            }
        }
        text += '\n';
        out_ << text;
    }

    std::ostream& out_;
    std::vector<std::string> header_;
    std::vector<std::size_t> widths_;  // empty until the first row
};

}  // namespace

std::unique_ptr<RowWriter> makeRowWriter(OutputFormat format, std::ostream& out) {
    if (format == OutputFormat::Table) return std::make_unique<TableWriter>(out);
    return std::make_unique<CsvWriter>(out);
}

}  // namespace vantorel::cli
