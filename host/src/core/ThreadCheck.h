#pragma once
// The check behind headless/ApiThreads.h: API entry points that Maya allows on the main thread
// only call requireMainThread first.

namespace headless::detail {

// Counts and reports the call when the calling thread is not the main thread. The call goes on
// either way, as it would in Maya (where it may crash or corrupt the scene instead).
void requireMainThread(const char* call);

}  // namespace headless::detail
