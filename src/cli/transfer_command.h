// What download, upload and pair share: their command line, finding the
// scale, and waiting for a transfer to end within the time limit.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "base/date_time.h"
#include "cli/commands.h"
#include "cli/headless_window.h"
#include "plu/transfer_outcome.h"

namespace plu::cli {

// Seconds to wait for a scale to answer (every baud rate is tried in about
// five) and for the whole command (a full table at 1200 baud takes about
// five minutes).
constexpr double kDefaultFindSeconds = 10;
constexpr double kDefaultLimitSeconds = 600;
// After a lost link: how long to wait for the port to be opened again (the
// engine tries about a second after the loss).
constexpr double kReopenSeconds = 2.5;

struct TransferOptions {
    std::string file;  // download and upload
    std::string device;
    double findSeconds = kDefaultFindSeconds;
    double limitSeconds = kDefaultLimitSeconds;
    std::optional<TDateTime> time;  // pair --time
};

// What a command accepts besides --port, --timeout and --limit.
struct TransferSyntax {
    const char* name;   // "plu-tool download"
    const char* usage;  // the synopsis after the command's name
    bool file = false;  // one FILE argument
    bool time = false;  // --time
};

// Parses args; a mistake is explained on err (with the usage) and gives false.
bool ParseTransferOptions(const Args& args, const TransferSyntax& syntax, TransferOptions& options,
                          std::ostream& err);

// "YYYY-MM-DD HH:MM:SS", a real date and time within the years the scale
// keeps (it stores two digits and reads them as 20YY).
bool ParseClockTime(const std::string& text, TDateTime& when);
bool IsScaleClockYear(TDateTime when);

// A progress line only for the real standard output on a terminal.
bool WantsProgress(const std::ostream& out);

// Drives one command: the deadlines, finding the scale, waiting for the
// transfer's end, and the lines that explain a failure.
class TransferRun {
  public:
    TransferRun(const TransferSyntax& syntax, const TransferOptions& options,
                HeadlessWindow& window, std::ostream& err);

    // Finds the scale on the device; kExitOk when it answered, otherwise the
    // exit code after the reason was printed.
    int Connect();
    // Waits until outcome() is no longer Running. kExitOk when it ended so
    // (the caller looks at the outcome); kExitTransfer after explaining a lost
    // link or the time limit. `what` names the transfer ("download"),
    // `aftermath` says what a broken-off transfer leaves behind.
    int Wait(const std::function<TransferOutcome()>& outcome, const std::string& what,
             const std::string& aftermath);

  private:
    const TransferSyntax& syntax_;
    const TransferOptions& options_;
    HeadlessWindow& window_;
    std::ostream& err_;
    SteadyClock::time_point start_;
    SteadyClock::time_point end_;
};

}  // namespace plu::cli
