#include "transport/protocol/MocapDataHandler.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "transport/protocol/ChannelNameRule.h"
#include "transport/protocol/TransportMessages.h"

namespace {

constexpr std::string_view kRejectReply = "/reject";
constexpr std::string_view kRejectWrongScreenReply = "/reject-wrong-screen";
constexpr std::string_view kTimestampKey = "timestamp";

// Calls onLine for every LF-separated line, as a line reader would see them: a final LF adds no
// empty line, a CR stays in its line. Stops early when onLine returns false.
template <class OnLine>
void forEachLine(std::string_view text, OnLine onLine) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            onLine(text.substr(start));
            return;
        }
        if (!onLine(text.substr(start, end - start))) return;
        start = end + 1;
    }
}

int vectorSuffixIndex(char letter) {
    switch (letter) {
        case 'X':
            return 0;
        case 'Y':
            return 1;
        case 'Z':
            return 2;
        default:
            return -1;
    }
}

// "0X" ... "3W": the row digit and the column letter of the flat matrix layout.
int matrixSuffixIndex(char digit, char letter) {
    if (digit < '0' || digit > '3') return -1;
    int column = -1;
    switch (letter) {
        case 'X':
            column = 0;
            break;
        case 'Y':
            column = 1;
            break;
        case 'Z':
            column = 2;
            break;
        case 'W':
            column = 3;
            break;
        default:
            return -1;
    }
    return 4 * (digit - '0') + column;
}

int lookup(const std::unordered_map<std::string_view, int>& index, std::string_view name) {
    if (index.empty()) return -1;
    const auto found = index.find(name);
    return found == index.end() ? -1 : found->second;
}

// A name as a line of text can show it: bytes outside printable ASCII as \xNN.
std::string printable(std::string_view name) {
    constexpr std::size_t kShownLength = 60;
    std::string text;
    for (const char c : name.substr(0, kShownLength)) {
        if (c >= 0x20 && c < 0x7f) {
            text.push_back(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
            text.append(escaped);
        }
    }
    if (name.size() > kShownLength) text.append("...");
    return text;
}

}  // namespace

MocapDataHandler::MocapDataHandler(CaptureDataStreamInterface* observer, StreamDropCounter* drops)
    : observer_(observer), drops_(drops ? drops : &ownDrops_) {}

bool MocapDataHandler::handleConnectReply(std::string message) {
    const bool refused = message == kRejectReply;
    if (refused || message == kRejectWrongScreenReply) {
        if (observer_) observer_->rejectConnection(refused ? 1u : 2u);
        return false;
    }
    readChannelList(message);
    std::vector<ChannelRenaming> renamings;
    validNames_ = validChannelNames(names_, &renamings);
    reportRenamings(renamings);
    const auto& scalars = validNames_.scalars();
    if (std::find(scalars.begin(), scalars.end(), kTimestampKey) != scalars.end()) {
        // Its lines give each frame's time, so the channel can never hold a value of its own.
        reportTransportMessage(
            "The channel \"timestamp\" gets no values: the app's timestamp "
            "line gives each frame's time.");
    }
    if (observer_) {
        observer_->setChannelLayout(validNames_);
        observer_->acceptConnection(validNames_);
    }
    return true;
}

void MocapDataHandler::readChannelList(std::string_view message) {
    // The views go before the strings they view.
    expectedKeys_.clear();
    keyTargets_.clear();
    keyStorage_.clear();
    for (auto& index : indexes_) index.clear();
    names_.clear();

    // The section of the list being read; kChannelKindCount past the last one.
    int section = 0;
    std::size_t valueCount = 0;
    std::size_t ignoredChannels = 0;
    std::size_t ignoredSections = 0;
    forEachLine(message, [&](std::string_view line) {
        if (!line.empty() && line.front() == '#') {
            if (section + 1 < kChannelKindCount) {
                ++section;
            } else {
                section = kChannelKindCount;  // beyond the last section: its names are ignored
                ++ignoredSections;
            }
            return true;
        }
        if (section >= kChannelKindCount) {
            ++ignoredChannels;
            return true;
        }
        const auto kind = static_cast<ChannelKind>(section);
        auto& list = names_.of(kind);
        const std::size_t width = valuesPerChannel(kind);
        const bool full = (kind == ChannelKind::vector && list.size() >= kMaxVectorChannels) ||
                          (kind == ChannelKind::matrix && list.size() >= kMaxMatrixChannels) ||
                          valueCount + width > kMaxFrameValues;
        if (full) {
            ++ignoredChannels;
            return true;
        }
        list.emplace_back(line);
        valueCount += width;
        return true;
    });
    rebuildIndexes();

    if (ignoredChannels > 0 || ignoredSections > 0) {
        reportTransportMessage(
            "Channel list beyond the storage limits: " + std::to_string(ignoredChannels) +
            " channels and " + std::to_string(ignoredSections) + " extra sections were ignored.");
    }
}

void MocapDataHandler::reportRenamings(const std::vector<ChannelRenaming>& renamings) const {
    // Enough to recognise the phone's naming; a long list would flood the output.
    constexpr std::size_t kShown = 10;
    for (std::size_t i = 0; i < renamings.size() && i < kShown; ++i) {
        const ChannelRenaming& renaming = renamings[i];
        reportTransportMessage(std::string("Renamed the ") + channelKindName(renaming.kind) +
                               " channel \"" + printable(renaming.from) + "\" -> \"" + renaming.to +
                               "\": outputs, recording and takes use names of letters, digits and "
                               "\"_\" only.");
    }
    if (renamings.size() > kShown) {
        reportTransportMessage("More channels renamed the same way: " +
                               std::to_string(renamings.size() - kShown) + ".");
    }
}

void MocapDataHandler::rebuildIndexes() {
    for (const ChannelKind kind : kChannelKinds) {
        const auto& list = names_.of(kind);
        auto& index = indexes_[kindIndex(kind)];
        index.reserve(list.size());
        // A name listed twice keeps its later position.
        for (std::size_t position = 0; position < list.size(); ++position) {
            index.insert_or_assign(std::string_view(list[position]), static_cast<int>(position));
        }
    }

    keyStorage_.reserve(names_.flatValueCount());
    for (const auto& name : names_.scalars()) keyStorage_.push_back(name);
    for (const auto& name : names_.vectors()) {
        for (const char* suffix : kVectorKeySuffixes) keyStorage_.push_back(name + suffix);
    }
    for (const auto& name : names_.matrices()) {
        for (const char* suffix : kMatrixKeySuffixes) keyStorage_.push_back(name + suffix);
    }
    // keyStorage_ is complete: its strings no longer move.
    keyTargets_.reserve(keyStorage_.size());
    for (const auto& key : keyStorage_) keyTargets_.emplace(key, resolveKey(key));
    expectedKeys_.resize(keyStorage_.size() + 1);  // and the timestamp line
    undo_.reserve(keyStorage_.size() + 1);
}

double* MocapDataHandler::resolveKey(std::string_view key) {
    const std::size_t n = key.size();
    if (const int v =
            n > 1 ? lookup(indexes_[kindIndex(ChannelKind::vector)], key.substr(0, n - 1)) : -1;
        v >= 0) {
        const int component = vectorSuffixIndex(key.back());
        return component < 0 ? nullptr : &vectorValues_[kVectorComponents * v + component];
    }
    if (const int m =
            n > 2 ? lookup(indexes_[kindIndex(ChannelKind::matrix)], key.substr(0, n - 2)) : -1;
        m >= 0) {
        const int element = matrixSuffixIndex(key[n - 2], key.back());
        return element < 0 ? nullptr : &matrixValues_[kMatrixElements * m + element];
    }
    const int s = lookup(indexes_[kindIndex(ChannelKind::scalar)], key);
    return s < 0 ? nullptr : &frameValues_[s];
}

void MocapDataHandler::handleFrame(std::string message) {
    double timestamp = 0.0;
    bool hasTimestamp = false;
    NumberTextResult result = NumberTextResult::ok;
    std::string_view stoppedAt;
    std::size_t lineIndex = 0;
    undo_.clear();
    forEachLine(message, [&](std::string_view line) {
        result = applyLine(line, lineIndex++, timestamp, hasTimestamp);
        if (result != NumberTextResult::ok) stoppedAt = line;
        return result == NumberTextResult::ok;
    });
    if (result != NumberTextResult::ok) {
        rollBack();
        dropMalformed(stoppedAt, result == NumberTextResult::outOfRange);
        return;
    }
    // Only a timestamp makes a frame: without one (or with a NaN or an infinity) the message
    // could not be placed in the recording.
    if (!hasTimestamp || !std::isfinite(timestamp)) {
        rollBack();
        drops_->count(StreamDrop::noTimestamp,
                      "Dropped a data message without a timestamp that is a finite number.");
        return;
    }
    handOnFrame(timestamp);
}

void MocapDataHandler::store(double* target, double value) {
    undo_.emplace_back(target, *target);
    *target = value;
}

void MocapDataHandler::rollBack() {
    for (auto change = undo_.rbegin(); change != undo_.rend(); ++change)
        *change->first = change->second;
    undo_.clear();
}

double* MocapDataHandler::targetOf(std::string_view key, std::size_t lineIndex) {
    ExpectedKey* expected = lineIndex < expectedKeys_.size() ? &expectedKeys_[lineIndex] : nullptr;
    if (expected && expected->known && expected->key == key) return expected->target;
    const auto known = keyTargets_.find(key);
    if (known == keyTargets_.end()) return resolveKey(key);
    if (expected) *expected = ExpectedKey{true, known->first, known->second};
    return known->second;
}

NumberTextResult MocapDataHandler::applyLine(std::string_view line, std::size_t lineIndex,
                                             double& timestamp, bool& hasTimestamp) {
    const std::size_t separator = line.find(';');
    if (separator == std::string_view::npos) return NumberTextResult::ok;
    const std::string_view key = line.substr(0, separator);
    const std::string_view valueText = line.substr(separator + 1);

    if (key == kTimestampKey) {
        // An empty value reads as 0 elsewhere, but it places no frame in time: a message whose
        // last timestamp line is empty has no timestamp.
        if (valueText.empty()) {
            hasTimestamp = false;
            return NumberTextResult::ok;
        }
        const NumberTextResult result = parseNumberTime(valueText, kWireNumberRules, timestamp);
        if (result == NumberTextResult::ok) hasTimestamp = true;
        return result;
    }
    double* target = targetOf(key, lineIndex);
    // The value is converted whatever the key: a bad one stops the message even when the key
    // names no channel.
    double value = 0.0;
    const NumberTextResult result = parseNumberValue(valueText, kWireNumberRules, value);
    if (result == NumberTextResult::ok && target) store(target, value);
    return result;
}

void MocapDataHandler::handOnFrame(double timestamp) {
    if (!observer_) return;
    const std::size_t s = names_.scalars().size();
    const std::size_t v = names_.vectors().size();
    const std::size_t m = names_.matrices().size();
    // The channel list limits keep s + 3v + 16m within frameValues_.
    std::memcpy(frameValues_.data() + s, vectorValues_.data(),
                kVectorComponents * v * sizeof(double));
    std::memcpy(frameValues_.data() + s + kVectorComponents * v, matrixValues_.data(),
                kMatrixElements * m * sizeof(double));
    const std::size_t count = s + kVectorComponents * v + kMatrixElements * m;
    observer_->storeLatestFrame(frameValues_.data(), count * sizeof(double));
    CaptureFrame frame(timestamp, frameValues_.data(), static_cast<std::uint32_t>(count));
    observer_->appendRecordedFrame(frame);
}

void MocapDataHandler::dropMalformed(std::string_view line, bool outOfRange) {
    std::string text = "Dropped a data message: the line \"";
    text.append(printable(line));
    text.append(outOfRange ? "\" holds a number out of range." : "\" holds no number.");
    drops_->count(StreamDrop::badValue, text);
}
