#pragma once
// A clip file as a table, read with `cliptool csv`: one row per frame, the stored time first.

#include <optional>
#include <string>
#include <vector>

struct ClipTable {
    std::vector<std::string> columns;       // "time", then one per flat value
    std::vector<std::vector<double>> rows;  // values in column order, times as stored

    // The index of a column; nothing when the clip has none of that name.
    std::optional<std::size_t> column(const std::string& name) const;
    double duration() const { return rows.empty() ? 0.0 : rows.back()[0] - rows.front()[0]; }
    // What a clip reader plays at clip time u (seconds from the first frame): the first frame
    // before the clip, the last after it, a straight-line blend of the two neighbours between.
    double playedAt(double u, std::size_t column) const;
};

// Runs cliptool csv on the file; nothing (with the reason in error) when cliptool refuses it.
std::optional<ClipTable> readClipTable(const std::string& clipPath, std::string& error);
