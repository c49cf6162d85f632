// The command line of the virtual-scale program.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "virtual-scale/fault_plan.h"
#include "virtual-scale/scale_model.h"

namespace plu::virtual_scale {

struct Options {
    ScaleModel model;
    std::string linkPath;   // also reachable through this symbolic link
    std::string tablePath;  // load the PLU table from here
    bool emptyTable = false;
    std::string savePath;   // write the table here after each download and at exit
    std::string clockPath;  // write the clock here each time the PC sets it
    uint32_t baud = 9600;
    bool matchBaud = false;  // answer only when the PC's line runs at `baud`
    bool wireTime = false;   // charge the bytes' time on the wire at `baud`
    int delayMs = 0;         // before each reply
    std::vector<FaultRule> faults;
    bool exitWithParent = false;
    bool verbose = false;
    bool help = false;
};

// Parses argv[1..]. On a mistake returns false with a one-line reason.
bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

// The text of --help.
std::string HelpText();

}  // namespace plu::virtual_scale
