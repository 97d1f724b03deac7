#include "clip/format/ClipWriter.h"

#include "clip/format/ClipFormat.h"
#include "clip/format/ClipNumberText.h"

#include <cstring>

namespace {

const char* whyUncarriable(const std::string& name) {
    if (name.size() >= kClipTextBlockSize) return "is 8192 bytes long or longer";
    if (!name.empty() && name[0] == kClipSectionEnd) return "begins with \"#\"";
    if (name.find(kClipSeparator) != std::string::npos) return "contains \"^\"";
    if (name.find(kClipTextEnd) != std::string::npos) return "contains \"@\"";
    if (name.find('\0') != std::string::npos) return "contains a NUL byte";
    return nullptr;
}

}  // namespace

void checkClipNames(const ChannelNameLists& names) {
    for (const ChannelKind kind : kChannelKinds) {
        const auto& list = names.of(kind);
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (const char* why = whyUncarriable(list[i])) {
                const std::string shown = list[i].substr(0, 60);
                throw ClipWriteError(std::string("Cannot write the clip: ") +
                                     channelKindName(kind) + " channel " + std::to_string(i) +
                                     " (\"" + shown.c_str() + "\") " + why +
                                     ", which a clip file cannot carry.");
            }
        }
    }
}

ClipWriter::ClipWriter(std::ostream& out, const ChannelNameLists& names)
    : out_(out), cipher_(clipKey()) {
    checkClipNames(names);
    pending_.reserve(2 * kClipTextBlockSize + kClipNumberMaxChars);
    static const char kSeparator[] = {kClipSeparator};
    static const char kSectionEnd[] = {kClipSectionEnd, kClipSeparator};
    for (const auto& list : names.lists) {
        for (const auto& name : list) {
            pending_.append(name);
            append(kSeparator, 1);
        }
        append(kSectionEnd, 2);
    }
}

void ClipWriter::append(const char* text, std::size_t length) {
    pending_.append(text, length);
    while (flushClipBlock(pending_, out_, false, cipher_)) {
    }
}

void ClipWriter::appendNumber(double value) {
    char text[kClipNumberMaxChars + 1];
    std::size_t length = formatClipNumber(value, text);
    text[length++] = kClipSeparator;
    append(text, length);
}

void ClipWriter::writeFrame(double time, const double* values, std::size_t count) {
    appendNumber(time);
    for (std::size_t i = 0; i < count; ++i) appendNumber(values[i]);
    static const char kFrameEnd[] = {kClipFrameEnd, kClipSeparator};
    append(kFrameEnd, 2);
}

void ClipWriter::finish() {
    if (finished_) return;
    finished_ = true;
    pending_.push_back(kClipTextEnd);
    while (!pending_.empty()) flushClipBlock(pending_, out_, true, cipher_);
    out_.flush();
    if (!out_) throw ClipWriteError("Writing the clip file failed.");
}
