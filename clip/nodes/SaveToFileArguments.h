#pragma once
// What a writer thread needs to write one clip: its own copy of the recording, where to write
// it and how many seconds to keep. Nothing in it refers to the device node, so a node deleted
// while the thread runs does not matter.

#include "transport/outcomes/SaveOutcomes.h"
#include "transport/records/CaptureRecords.h"

#include <string>

struct SaveToFileArguments {
    CaptureRecording recording;
    std::string clipPath;
    double clipLength = 0.0;  // seconds
    SaveId outcome = 0;       // where the writer reports how the save ended (0: nowhere)
};
