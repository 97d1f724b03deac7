#pragma once
// The writer thread's work: cut the last clipLength seconds out of the recording and write them
// as a clip file.

#include "clip/nodes/SaveToFileArguments.h"

// Writes the window to a temporary file beside the clip path and renames it over the clip path
// once it is complete, so that a reader never sees a half-written clip and a failed write never
// destroys the previous take. Nothing is written for an empty recording or a length not above
// zero; a file that cannot be opened is skipped silently. A write that fails shows an error.
void saveToFile(const SaveToFileArguments& arguments);
