#pragma once
// Sizes and markers of the clip file format: a text of "^"-terminated tokens, cut into 8192-byte
// blocks, each stored as a 16-byte IV followed by the block encrypted with AES-128-CBC.

#include <cstddef>

constexpr std::size_t kClipTextBlockSize = 8192;
constexpr std::size_t kClipIvSize = 16;
constexpr std::size_t kClipRecordSize = kClipIvSize + kClipTextBlockSize;  // 8208

constexpr char kClipSeparator = '^';
constexpr char kClipSectionEnd = '#';  // a section-end token is "#"; readers accept any "#..."
constexpr char kClipFrameEnd = '*';
constexpr char kClipTextEnd = '@';

constexpr int kClipDecimals = 8;

// The most channels a clip may name, all kinds together. A take holds at most what a capture frame
// holds (22001 values); this leaves room for clips made by other means (tests load 50000 channels)
// and refuses, before a single output is made, a header that would bury the node in attributes.
constexpr std::size_t kMaxClipChannels = 100000;
