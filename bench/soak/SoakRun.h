#pragma once
// One soak: phonesim feeds frames as fast as the connection process takes them, the recording
// stays bounded, then it is saved as a clip the way "saveMocapData" saves it and loaded back.

#include <cstdint>

#include "SoakFigures.h"

struct SoakSettings {
    std::uint32_t connectionKind =
        0;  // NetworkConnectionClientProcess::kWifiConnection / kUsbConnection
    std::uint64_t framesFed = 300000;
    // Frames sent but not yet recorded, at most. Keeps the Wi-Fi datagrams in flight well inside
    // the socket's receive buffer, so that none is dropped.
    std::uint64_t framesInFlight = 32;
    int clipLengthSeconds = 3600;  // longer than the whole bounded recording
};

// Runs the soak and checks what it kept: figures with ok false and the reason when a check fails.
SoakFigures runSoak(const SoakSettings& settings);
