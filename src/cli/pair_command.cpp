// plu-tool pair: the scale's clock is set to the given time or the
// computer's. Only the clock frame is sent; the computer's clock is read,
// never set.
#include "cli/transfer_command.h"

namespace plu::cli {

namespace {

const TransferSyntax kSyntax{
    "plu-tool pair",
    "--port DEVICE [--time \"YYYY-MM-DD HH:MM:SS\"] [--timeout SECONDS] [--limit SECONDS]", false,
    true};

}  // namespace

int RunPair(const Args& args, std::ostream& out, std::ostream& err) {
    TransferOptions options;
    if (!ParseTransferOptions(args, kSyntax, options, err)) return kExitUsage;

    HeadlessWindow window(kSyntax.name, out, err, WantsProgress(out));
    TransferRun run(kSyntax, options, window, err);
    if (const int code = run.Connect(); code != kExitOk) return code;

    // The computer's clock is read when the frame is built, as the dialog
    // reads it when it closes, not when the command started.
    const TDateTime when = options.time ? *options.time : Now();
    if (!IsScaleClockYear(when)) {
        err << kSyntax.name
            << ": the computer's clock is outside the years the scale keeps (2000 to 2099); "
               "give the time with --time\n";
        return kExitFailure;
    }
    ClockPairing& pairing = window.Transfers().Pairing();
    pairing.SendClock(when);
    const int code = run.Wait([&] { return pairing.Outcome(); }, "pairing",
                              "the scale's clock may be unchanged");
    if (code != kExitOk) return code;
    return pairing.Outcome() == TransferOutcome::Succeeded ? kExitOk : kExitTransfer;
}

}  // namespace plu::cli
