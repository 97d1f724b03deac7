#include "CliptoolCommands.h"

#include "ClipCsv.h"
#include "clip/format/ClipBlocks.h"
#include "clip/format/ClipFileReader.h"
#include "clip/format/ClipNumberText.h"
#include "clip/format/ClipWriter.h"
#include "clip/format/ParseClipFile.h"
#include "transport/cipher/AesCbcCipher.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iomanip>
#include <limits>
#include <stdexcept>
#include <vector>

namespace {

bool canOpen(const std::string& path, std::ostream& err) {
    std::ifstream probe(path, std::ios::binary);
    if (probe) return true;
    err << "cliptool: cannot open " << path << "\n";
    return false;
}

std::string formatted(double value) {
    char text[kClipNumberMaxChars];
    return std::string(text, formatClipNumber(value, text));
}

// Reads the whole clip, handing each frame (time as stored, flat values) to onFrame. Reports a
// failure on err and returns false.
bool readClip(const std::string& path, ChannelNameLists& names, std::ostream& err,
              const std::function<void(double, const std::vector<double>&)>& onFrame) {
    ClipFileReader reader(path);
    const ClipLoadResult result = readClipFrames(reader, names, onFrame);
    if (result.ok()) return true;
    // The words the clip reader node uses for the same file.
    err << "cliptool: " << describeClipLoadFailure(path, result) << "\n";
    return false;
}

void listNames(std::ostream& out, const char* kind, const std::vector<std::string>& names) {
    out << kind << " channels: " << names.size() << "\n";
    for (const auto& name : names) out << "  " << name << "\n";
}

// A whole-field number for make: the field must be nothing but the number.
template <typename Number, typename Convert>
bool parseField(const std::string& field, Number& value, Convert convert) {
    if (field.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = convert(field.c_str(), &end);
    return errno != ERANGE && end == field.c_str() + field.size();
}

}  // namespace

int clipInfo(const std::string& clipPath, std::ostream& out, std::ostream& err) {
    ChannelNameLists names;
    std::size_t frameCount = 0;
    double firstTime = 0.0;
    double lastTime = 0.0;
    const bool ok = readClip(clipPath, names, err, [&](double time, const std::vector<double>&) {
        if (frameCount++ == 0) firstTime = time;
        lastTime = time;
    });
    if (!ok) return 1;

    listNames(out, "scalar", names.scalars());
    listNames(out, "vector", names.vectors());
    listNames(out, "matrix", names.matrices());
    const double duration = lastTime - firstTime;
    out << "values per frame: " << names.flatValueCount() << "\n";
    out << "frames: " << frameCount << "\n";
    out << "start time: " << formatted(firstTime) << " s\n";
    out << "duration: " << formatted(duration) << " s\n";
    if (frameCount > 1 && duration > 0.0) {
        out << "frame rate: " << std::fixed << std::setprecision(3)
            << static_cast<double>(frameCount - 1) / duration << " fps (estimate)\n";
    } else {
        out << "frame rate: unknown\n";
    }
    return 0;
}

int clipDump(const std::string& clipPath, std::ostream& out, std::ostream& err) {
    if (!canOpen(clipPath, err)) return 1;
    std::ifstream file(clipPath, std::ios::binary);
    AesCbcCipher cipher(clipKey());
    std::string text;
    bool ended = false;
    while (!ended && readClipBlock(file, text, cipher, &ended)) {
        out << text;
        text.clear();
    }
    if (ended) out << '@';
    out << "\n";
    if (!ended) {
        err << "cliptool: " << clipPath << ": the text has no end marker \"@\"\n";
        return 1;
    }
    return 0;
}

int clipCsv(const std::string& clipPath, std::ostream& out, std::ostream& err) {
    ChannelNameLists names;
    bool headerWritten = false;
    std::string row;
    char number[kClipNumberMaxChars];
    const bool ok =
        readClip(clipPath, names, err, [&](double time, const std::vector<double>& values) {
            if (!headerWritten) {
                writeCsvRecord(out, clipCsvColumns(names));
                headerWritten = true;
            }
            row.assign(number, formatClipNumber(time, number));
            for (const double value : values) {
                row += ',';
                row.append(number, formatClipNumber(value, number));
            }
            row += '\n';
            out << row;
        });
    return ok ? 0 : 1;
}

int clipMake(const std::string& csvPath, const std::string& clipPath, std::ostream& err) {
    std::ifstream csv(csvPath, std::ios::binary);
    if (!csv) {
        err << "cliptool: cannot open " << csvPath << "\n";
        return 1;
    }
    // Written beside the target and renamed at the end, so a failed make leaves OUT as it was.
    const std::string partialPath = clipPath + ".partial";
    auto fail = [&](const std::string& message) {
        std::error_code ignored;
        std::filesystem::remove(partialPath, ignored);
        err << "cliptool: " << message << "\n";
        return 1;
    };
    try {
        std::vector<std::string> fields;
        if (!readCsvRecord(csv, fields))
            return fail(csvPath + ": empty CSV, expected a header row");
        const auto names = channelNamesFromCsvColumns(fields);
        if (!names) return fail(csvPath + ": the header row must begin with the column \"time\"");
        const std::vector<std::string> columns = fields;
        const std::size_t columnCount = columns.size();

        std::ofstream out(partialPath, std::ios::binary | std::ios::trunc);
        if (!out) return fail("cannot create " + partialPath);
        ClipWriter writer(out, *names);
        std::vector<double> values(columnCount - 1);
        std::size_t row = 1;
        std::size_t frames = 0;
        while (readCsvRecord(csv, fields)) {
            ++row;
            const std::string where = csvPath + ": row " + std::to_string(row);
            if (fields.size() != columnCount)
                return fail(where + " has " + std::to_string(fields.size()) +
                            " fields, the header " + std::to_string(columnCount));
            long double time = 0.0L;
            if (!parseField(fields[0], time,
                            [](const char* t, char** e) { return std::strtold(t, e); }) ||
                std::fabs(time) > std::numeric_limits<double>::max())
                return fail(where + ": time \"" + fields[0] + "\" is not a number in range");
            for (std::size_t i = 1; i < columnCount; ++i) {
                if (!parseField(fields[i], values[i - 1],
                                [](const char* t, char** e) { return std::strtod(t, e); }))
                    return fail(where + ", column " + csvField(fields.size() ? fields[i] : "") +
                                ": not a number in range");
            }
            writer.writeFrame(static_cast<double>(time), values.data(), values.size());
            ++frames;
        }
        if (frames == 0)
            return fail(csvPath + ": no frame rows; a clip without frames cannot be loaded");
        writer.finish();
        out.close();
        if (!out) return fail("writing " + partialPath + " failed");
        std::error_code error;
        std::filesystem::rename(partialPath, clipPath, error);
        if (error) return fail("cannot replace " + clipPath + ": " + error.message());
    } catch (const std::exception& error) {
        return fail(error.what());
    }
    return 0;
}
