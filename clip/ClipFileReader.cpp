#include "ClipFileReader.h"

#include "ClipFormat.h"
#include "ClipNumberText.h"

#include <exception>

ClipFileReader::ClipFileReader(const std::string& path)
    : file_(path, std::ios::binary), in_(file_), cipher_(clipKey()) {}

ClipFileReader::ClipFileReader(std::istream& in) : in_(in), cipher_(clipKey()) {}

bool ClipFileReader::readNames(ChannelNameLists& names) {
    std::size_t section = 0;
    std::string_view token;
    while (section < names.lists.size()) {
        if (!nextToken(token)) return false;
        if (!token.empty() && token[0] == kClipSectionEnd) {
            ++section;
        } else {
            names.lists[section].emplace_back(token);
        }
    }
    scalarCount_ = names.scalars().size();
    vectorEnd_ = scalarCount_ + kVectorComponents * names.vectors().size();
    valueCount_ = names.flatValueCount();
    return true;
}

ClipFileReader::FrameRead ClipFileReader::readFrame(double& time, std::vector<double>& values) {
    std::string_view token;
    if (!nextToken(token)) return FrameRead::kTextEnded;
    time = parseClipTime(token);

    values.resize(valueCount_);
    std::size_t index = 0;
    for (; index < scalarCount_; ++index) {
        if (!nextToken(token)) return FrameRead::kBroken;
        values[index] = parseClipValue(token);
    }
    // A vector or matrix group is taken whole before its numbers count: a group cut short is a
    // broken frame even when one of its tokens is not a number.
    while (index < valueCount_) {
        const std::size_t groupEnd = index < vectorEnd_ ? index + kVectorComponents : index + kMatrixElements;
        std::exception_ptr conversionError;
        for (; index < groupEnd; ++index) {
            if (!nextToken(token)) return FrameRead::kBroken;
            try {
                values[index] = parseClipValue(token);
            } catch (const std::exception&) {
                if (!conversionError) conversionError = std::current_exception();
            }
        }
        if (conversionError) std::rethrow_exception(conversionError);
    }
    if (!nextToken(token) || token.size() != 1 || token[0] != kClipFrameEnd) return FrameRead::kBroken;
    return FrameRead::kFrame;
}
