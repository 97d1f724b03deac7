#include "ClipCsv.h"

#include <stdexcept>

namespace {

const char kComponents[] = {'X', 'Y', 'Z', 'W'};

std::string matrixColumn(const std::string& name, int row, int column) {
    return name + static_cast<char>('0' + row) + kComponents[column];
}

// The base name when columns[first..] are the group of one vector (3) or matrix (16) channel.
std::optional<std::string> groupBase(const std::vector<std::string>& columns, std::size_t first,
                                     std::size_t size) {
    const std::size_t suffix = size == kMatrixElements ? 2 : 1;
    const std::string& head = columns[first];
    if (head.size() < suffix) return std::nullopt;
    const std::string base = head.substr(0, head.size() - suffix);
    for (std::size_t i = 0; i < size; ++i) {
        const std::string expected =
            size == kMatrixElements
                ? matrixColumn(base, static_cast<int>(i / 4), static_cast<int>(i % 4))
                : base + kComponents[i];
        if (columns[first + i] != expected) return std::nullopt;
    }
    return base;
}

}  // namespace

std::vector<std::string> clipCsvColumns(const ChannelNameLists& names) {
    std::vector<std::string> columns{"time"};
    for (const auto& name : names.scalars()) columns.push_back(name);
    for (const auto& name : names.vectors())
        for (int c = 0; c < 3; ++c) columns.push_back(name + kComponents[c]);
    for (const auto& name : names.matrices())
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 4; ++column)
                columns.push_back(matrixColumn(name, row, column));
    return columns;
}

std::optional<ChannelNameLists> channelNamesFromCsvColumns(
    const std::vector<std::string>& columns) {
    if (columns.empty() || columns[0] != "time") return std::nullopt;
    ChannelNameLists names;
    std::size_t end = columns.size();
    std::vector<std::string> matrices;
    std::vector<std::string> vectors;
    while (end >= 1 + kMatrixElements) {
        auto base = groupBase(columns, end - kMatrixElements, kMatrixElements);
        if (!base) break;
        matrices.insert(matrices.begin(), *base);
        end -= kMatrixElements;
    }
    while (end >= 1 + kVectorComponents) {
        auto base = groupBase(columns, end - kVectorComponents, kVectorComponents);
        if (!base) break;
        vectors.insert(vectors.begin(), *base);
        end -= kVectorComponents;
    }
    names.scalars().assign(columns.begin() + 1, columns.begin() + static_cast<std::ptrdiff_t>(end));
    names.vectors() = std::move(vectors);
    names.matrices() = std::move(matrices);
    return names;
}

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

void writeCsvRecord(std::ostream& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) out << ',';
        out << csvField(fields[i]);
    }
    out << '\n';
}

bool readCsvRecord(std::istream& in, std::vector<std::string>& fields) {
    fields.clear();
    int c = in.get();
    if (c == std::char_traits<char>::eof()) return false;
    std::string field;
    bool quoted = false;
    for (;; c = in.get()) {
        if (c == std::char_traits<char>::eof()) {
            if (quoted) throw std::runtime_error("a quoted CSV field is never closed");
            break;
        }
        const char ch = static_cast<char>(c);
        if (quoted) {
            if (ch != '"') {
                field += ch;
            } else if (in.peek() == '"') {
                field += static_cast<char>(in.get());
            } else {
                quoted = false;
            }
        } else if (ch == '"') {
            quoted = true;
        } else if (ch == ',') {
            fields.push_back(std::move(field));
            field.clear();
        } else if (ch == '\n') {
            break;
        } else if (ch == '\r' && in.peek() == '\n') {
            in.get();
            break;
        } else {
            field += ch;
        }
    }
    fields.push_back(std::move(field));
    return true;
}
