#pragma once
// Runs a measurement in a child process of its own, so that its peak memory (ru_maxrss only
// ever grows) is not the peak of whatever ran before it in this program.

#include <functional>

#include "SoakFigures.h"

// Forks, runs measure in the child and hands its figures back. A child that dies or answers
// nothing gives figures with ok false and the reason in error.
SoakFigures runIsolated(const std::function<SoakFigures()>& measure);
