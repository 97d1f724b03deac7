#pragma once
// The phonesim program's command line.

#include <string>
#include <vector>

#include "PhoneSim.h"

struct CommandLine {
    PhoneSimOptions options;
    bool showHelp = false;
    std::string error;  // not empty: the arguments were refused, with this reason
};

CommandLine parseCommandLine(const std::vector<std::string>& arguments);
const char* commandLineUsage();
