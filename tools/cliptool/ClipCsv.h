#pragma once
// The CSV form of a clip: a header row "time" and one column per flat value, then one row per
// frame. Scalars are named as their channel, vectors name + "X"/"Y"/"Z", matrices carry their
// sixteen raw values as name + row + column letter ("head0X" .. "head3W").

#include "transport/records/CaptureRecords.h"

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

std::vector<std::string> clipCsvColumns(const ChannelNameLists& names);

// The channel names of a header row. Trailing groups of sixteen matrix columns, then of three
// vector columns, of one base name are read as such; the columns before them are scalars. Returns
// nothing when the first column is not "time".
std::optional<ChannelNameLists> channelNamesFromCsvColumns(const std::vector<std::string>& columns);

// One CSV record: fields separated by ",", quoted with '"' when they hold ",", '"' or a line break.
void writeCsvRecord(std::ostream& out, const std::vector<std::string>& fields);
std::string csvField(const std::string& text);

// Reads the next record into fields. Returns false at the end of the input; throws
// std::runtime_error for a quoted field that is never closed.
bool readCsvRecord(std::istream& in, std::vector<std::string>& fields);
