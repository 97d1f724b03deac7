#pragma once
// What a session drops of what reaches it, by kind, defined once: the transports and the message
// handler count their drops here, the first of each kind in a connection is said in one line,
// and the counts are said when the session ends. The counts may be read on any thread while the
// session runs.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

enum class StreamDrop : std::size_t {
    undecryptable,  // a datagram or USB message that holds no message
    noTimestamp,    // a data message without a timestamp that converts to a finite number
    foreignSender,  // a datagram from another address than the phone's, or another port of it
    oversized,      // a message that cannot be taken whole
    badValue,       // a data message with a line whose value is no number
};
constexpr std::size_t kStreamDropKindCount = 5;

// How a count of the kind reads: "3 undecryptable", "2 with a bad value".
std::string_view streamDropDescription(StreamDrop kind);

class StreamDropCounter {
  public:
    // Counts one drop. The first of its kind since the last reset() is said in a line: the text,
    // then that later ones are only counted.
    void count(StreamDrop kind, std::string_view firstText);
    std::uint64_t countOf(StreamDrop kind) const;
    std::uint64_t total() const;
    // "Dropped in this session: 3 undecryptable, 2 with a bad value." Empty when none.
    std::string summary() const;
    // Says the summary when anything was dropped.
    void reportSummary() const;
    void reset();

  private:
    // Written by the session thread, read by whoever shows the counts.
    std::array<std::atomic<std::uint64_t>, kStreamDropKindCount> counts_{};
};
