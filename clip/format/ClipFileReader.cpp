#include "clip/format/ClipFileReader.h"

#include "clip/format/ClipFormat.h"
#include "clip/format/ClipNumberText.h"

#include <cerrno>
#include <exception>
#include <filesystem>
#include <system_error>

ClipFileReader::ClipFileReader(const std::string& path) : in_(file_), cipher_(clipKey()) {
    std::error_code error;
    if (path.empty()) {
        openError_ = "no path was given";
        file_.setstate(std::ios::failbit);
        return;
    }
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (std::filesystem::is_directory(status)) {
        openError_ = "it is a folder";
        file_.setstate(std::ios::failbit);
        return;
    }
    // A pipe or a device would hold the reader (and Maya's main thread) until someone writes
    // to it, or feed it without end.
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        openError_ = "it is not a regular file";
        file_.setstate(std::ios::failbit);
        return;
    }
    errno = 0;
    file_.open(path, std::ios::binary);
    if (!file_.is_open())
        openError_ = errno != 0 ? std::generic_category().message(errno) : "it cannot be read";
}

ClipFileReader::ClipFileReader(std::istream& in) : in_(in), cipher_(clipKey()) {}

void ClipFileReader::fail(ClipLoadFailure failure, std::string detail) {
    failure_ = failure;
    failureDetail_ = std::move(detail);
}

ClipLoadFailure ClipFileReader::textStopped() const {
    if (!openError_.empty()) return ClipLoadFailure::cannotOpen;
    if (pending_.endMarkerSeen() || pending_.foreignBytesSeen()) return ClipLoadFailure::damaged;
    return ClipLoadFailure::cutShort;
}

bool ClipFileReader::readNames(ChannelNameLists& names) {
    fail(ClipLoadFailure::none);
    if (!openError_.empty()) {
        fail(ClipLoadFailure::cannotOpen, openError_);
        return false;
    }
    std::size_t section = 0;
    std::string_view token;
    while (section < names.lists.size()) {
        if (!nextToken(token)) {
            fail(textStopped());
            return false;
        }
        if (!token.empty() && token[0] == kClipSectionEnd) {
            ++section;
        } else {
            names.lists[section].emplace_back(token);
        }
    }
    scalarCount_ = names.scalars().size();
    vectorEnd_ = scalarCount_ + kVectorComponents * names.vectors().size();
    valueCount_ = names.flatValueCount();
    const std::size_t channels =
        names.scalars().size() + names.vectors().size() + names.matrices().size();
    if (channels > kMaxClipChannels) {
        fail(ClipLoadFailure::tooManyChannels,
             std::to_string(channels) + " channels, at most " + std::to_string(kMaxClipChannels));
        return false;
    }
    return true;
}

ClipFileReader::FrameRead ClipFileReader::readFrame(double& time, std::vector<double>& values) {
    fail(ClipLoadFailure::none);
    std::string_view token;
    if (!nextToken(token)) {
        // Only the end marker ends a clip: a text that just stops was cut.
        if (pending_.endMarkerSeen()) return FrameRead::textEnded;
        fail(textStopped());
        return FrameRead::broken;
    }
    time = parseClipTime(token);

    values.resize(valueCount_);
    std::size_t index = 0;
    for (; index < scalarCount_; ++index) {
        if (!nextToken(token)) {
            fail(textStopped());
            return FrameRead::broken;
        }
        values[index] = parseClipValue(token);
    }
    // A vector or matrix group is taken whole before its numbers count: a group cut short is a
    // broken frame even when one of its tokens is not a number.
    while (index < valueCount_) {
        const std::size_t groupEnd =
            index < vectorEnd_ ? index + kVectorComponents : index + kMatrixElements;
        std::exception_ptr conversionError;
        for (; index < groupEnd; ++index) {
            if (!nextToken(token)) {
                fail(textStopped());
                return FrameRead::broken;
            }
            try {
                values[index] = parseClipValue(token);
            } catch (const std::exception&) {
                if (!conversionError) conversionError = std::current_exception();
            }
        }
        if (conversionError) std::rethrow_exception(conversionError);
    }
    if (!nextToken(token)) {
        fail(textStopped());
        return FrameRead::broken;
    }
    if (token.size() != 1 || token[0] != kClipFrameEnd) {
        fail(ClipLoadFailure::damaged, "a frame does not end where its channels do");
        return FrameRead::broken;
    }
    return FrameRead::frame;
}
