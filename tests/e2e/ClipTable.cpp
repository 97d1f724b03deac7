#include "ClipTable.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "ChildProcess.h"

namespace {

std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
    return fields;
}

}  // namespace

std::optional<std::size_t> ClipTable::column(const std::string& name) const {
    const auto found = std::find(columns.begin(), columns.end(), name);
    if (found == columns.end()) return std::nullopt;
    return static_cast<std::size_t>(found - columns.begin());
}

double ClipTable::playedAt(double u, std::size_t column) const {
    const double start = rows.front()[0];
    std::size_t i = 0;
    while (i < rows.size() && u > rows[i][0] - start) ++i;
    if (i == rows.size()) return rows.back()[column];
    const std::size_t p = i == 0 ? 0 : i - 1;
    const double span = rows[i][0] - rows[p][0];
    const double a = span > 0.0 ? (u - (rows[p][0] - start)) / span : 0.0;
    return (1.0 - a) * rows[p][column] + a * rows[i][column];
}

std::optional<ClipTable> readClipTable(const std::string& clipPath, std::string& error) {
    const ChildRun run =
        runChildProcess({LMRA_CLIPTOOL, "csv", clipPath}, {}, std::chrono::seconds(60));
    if (!run.exitedWith(0)) {
        error = "cliptool csv " + clipPath + ": " + run.describe() + "\n" + run.output;
        return std::nullopt;
    }
    ClipTable table;
    std::istringstream in(run.output);
    std::string line;
    if (!std::getline(in, line)) {
        error = "cliptool csv gave no header";
        return std::nullopt;
    }
    table.columns = splitFields(line);
    while (std::getline(in, line)) {
        std::vector<double> row;
        for (const std::string& field : splitFields(line))
            row.push_back(std::strtod(field.c_str(), nullptr));
        if (row.size() != table.columns.size()) {
            error = "cliptool csv row of " + std::to_string(row.size()) + " fields: " + line;
            return std::nullopt;
        }
        table.rows.push_back(std::move(row));
    }
    if (table.rows.empty()) {
        error = "the clip has no frame";
        return std::nullopt;
    }
    return table;
}
