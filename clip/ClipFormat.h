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
