#include "virtual-scale/options.h"

namespace plu::virtual_scale {

namespace {

bool ParseNumber(const std::string& text, uint32_t max, uint32_t& value) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = static_cast<uint32_t>(std::stoul(text));
    return value <= max;
}

}  // namespace

std::string HelpText() {
    return R"(Usage: virtual-scale [OPTION]...
Plays a label scale on a pseudo-terminal, for tests and demonstrations.
Prints the device to open as the first line of standard output, then answers
every frame the PC sends until it is stopped (SIGTERM, SIGINT or Ctrl+C).

Device:
  --link PATH          also reach the device through a symbolic link at PATH
                       (an existing symbolic link there is replaced); PATH is
                       then the line printed
  --exit-with-parent   stop when the process that started it ends

Model (default: 5 keys, 15 kg, kilograms and pounds: "LNORV-25X0110015"):
  --keys 5|55          preset keys
  --capacity CODE      capacity code of one or two characters: 6, 15, 30...
  --unit kg|lb|oz      unit of the capacity
  --units LIST         units offered, comma-separated: kg,lb,oz (may be empty)

PLU table (265 PLUs and two business lines; default: a small sample shop):
  --table FILE         load the table from FILE
  --empty              start with an empty table
  --save FILE          write the table to FILE after each completed download
                       and at exit
  File format: one line per PLU, tab-separated: number (1-265), name,
  ingredients, life (days), unit digit (0 kg, 1 lb, 2 oz), unit price
  (hundredths), tare (thousandths; hundredths for oz), item code; plus one
  line "business<TAB>name<TAB>second line". Lines starting with # are comments.

Clock:
  --clock-file FILE    write the clock the PC sets to FILE, as one line
                       "20YY-MM-DD HH:MM:SS", each time a clock frame is taken

Line:
  --baud RATE          the scale's line speed (default 9600)
  --match-baud         answer only while the PC's side is set to RATE, as a
                       real scale would (the PC then has to step to it)
  --wire-time          take as long as the bytes need on the wire at RATE,
                       for what is received and for what is sent
  --delay MS           wait MS milliseconds before each reply

Faults (repeatable):  --fault KIND[:COUNT[:FRAMES[:MS]]]
  KIND    checksum      replies carrying a checksum get a wrong one
          reject        "BA" to a header, "DA" to a record, "TA" to a clock
          silent        no reply
          split         the reply in two bursts 150 ms apart
          garbage       a burst of noise (no 0x11/0x13) before the reply
          garbage-xoff  the same with an XOFF and an XON inside
          corrupt       noise in front of the reply, in the same burst
          letters       a record sent up with a letter in its unit price
          pause         the reply only after MS milliseconds (default 500)
          unplug        no reply: the pseudo-terminal is closed, and after
                        MS milliseconds (default 1500) a new one appears at
                        the --link path (which unplug needs)
  COUNT   how many matching replies (default 1), or "all"; COUNT@SKIP first
          lets SKIP matching frames pass, e.g. silent:1@40:D
  FRAMES  comma-separated prefixes of the frames concerned (L, BU, BD, D, DN,
          DE, U, UA, T); default, or "*": every frame
  MS      pause and unplug only: milliseconds
  Example: --fault split:1:L --fault checksum:2:U --fault unplug:1:D010:3000

Other:
  --verbose            log every frame and reply on standard error, each line
                       stamped with the seconds since start
  --help               show this text
)";
}

bool ParseOptions(const std::vector<std::string>& args, Options& o, std::string& error) {
    bool unplugWithoutLink = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string v;
        uint32_t n = 0;
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--link") {
            if (!value(o.linkPath)) return false;
        } else if (a == "--exit-with-parent") {
            o.exitWithParent = true;
        } else if (a == "--keys") {
            if (!value(v)) return false;
            if (v != "5" && v != "55") return error = "--keys takes 5 or 55", false;
            o.model.keys = v == "5" ? 5 : 55;
        } else if (a == "--capacity") {
            if (!value(v)) return false;
            if (v.empty() || v.size() > 2)
                return error = "--capacity takes one or two characters", false;
            o.model.capacityCode = v;
        } else if (a == "--unit") {
            if (!value(v)) return false;
            if (!ParseUnitName(v, o.model.unitDigit))
                return error = "--unit takes kg, lb or oz", false;
        } else if (a == "--units") {
            if (!value(v)) return false;
            if (!ParseUnitList(v, o.model))
                return error = "--units takes a list of kg, lb, oz", false;
        } else if (a == "--table") {
            if (!value(o.tablePath)) return false;
        } else if (a == "--empty") {
            o.emptyTable = true;
        } else if (a == "--save") {
            if (!value(o.savePath)) return false;
        } else if (a == "--clock-file") {
            if (!value(o.clockPath)) return false;
        } else if (a == "--baud") {
            if (!value(v)) return false;
            if (!ParseNumber(v, 4000000, n) || n < 50)
                return error = "--baud takes a line speed", false;
            o.baud = n;
        } else if (a == "--match-baud") {
            o.matchBaud = true;
        } else if (a == "--wire-time") {
            o.wireTime = true;
        } else if (a == "--delay") {
            if (!value(v)) return false;
            if (!ParseNumber(v, 60000, n)) return error = "--delay takes milliseconds", false;
            o.delayMs = static_cast<int>(n);
        } else if (a == "--fault") {
            if (!value(v)) return false;
            std::string why;
            const auto rule = ParseFaultRule(v, &why);
            if (!rule) return error = "--fault " + v + ": " + why, false;
            if (rule->kind == FaultKind::Unplug) unplugWithoutLink = true;
            o.faults.push_back(*rule);
        } else if (a == "--verbose") {
            o.verbose = true;
        } else {
            error = "unknown option " + a + " (see --help)";
            return false;
        }
    }
    // Without a fixed path the PC could not find the scale again: the new
    // pseudo-terminal gets whatever name is free.
    if (unplugWithoutLink && o.linkPath.empty())
        return error = "--fault unplug needs --link PATH", false;
    return true;
}

}  // namespace plu::virtual_scale
