// cliptool: inspects clip files and builds them from CSV.

#include "CliptoolCommands.h"

#include <iostream>
#include <string>

namespace {

int usage() {
    std::cerr << "usage: cliptool info FILE      channel names, frame count, duration, frame rate\n"
                 "       cliptool dump FILE      the decrypted clip text\n"
                 "       cliptool csv FILE       one CSV row per frame: time, then every value\n"
                 "       cliptool make CSV OUT   a clip file from such a CSV\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const std::string command = argv[1];
    if (command == "make") return argc == 4 ? clipMake(argv[2], argv[3], std::cerr) : usage();
    if (argc != 3) return usage();
    if (command == "info") return clipInfo(argv[2], std::cout, std::cerr);
    if (command == "dump") return clipDump(argv[2], std::cout, std::cerr);
    if (command == "csv") return clipCsv(argv[2], std::cout, std::cerr);
    return usage();
}
