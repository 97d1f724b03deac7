#pragma once
// The detached threads that write clips. Each owns its arguments; the process keeps only a count
// of those still running, so that the plug-in can wait for them before its code is unloaded.

#include "clip/nodes/SaveToFileArguments.h"

// Starts a detached thread that runs saveToFile with the arguments, which it takes over before
// this returns. False when the system cannot start another thread.
bool startClipWriter(SaveToFileArguments arguments);

// Blocks until no writer thread is running.
void waitForClipWriters();
