// plu-tool upload: the scale's table comes into a fresh sheet as UpLoad
// reads it, and is saved as Save does. FILE is written only after the scale
// reported the end of its table.
#include "app/table_file.h"
#include "cli/table_io.h"
#include "cli/transfer_command.h"

namespace plu::cli {

namespace {

const TransferSyntax kSyntax{
    "plu-tool upload", "FILE --port DEVICE [--timeout SECONDS] [--limit SECONDS]", true, false};

}  // namespace

int RunUpload(const Args& args, std::ostream& out, std::ostream& err) {
    TransferOptions options;
    if (!ParseTransferOptions(args, kSyntax, options, err)) return kExitUsage;
    // A table that cannot be saved is better found out before the scale is asked.
    if (const std::string why = CannotWriteReason(options.file); !why.empty()) {
        err << kSyntax.name << ": " << options.file << ": cannot be written: " << why << "\n";
        return kExitFile;
    }

    HeadlessWindow window(kSyntax.name, out, err, WantsProgress(out));
    TransferRun run(kSyntax, options, window, err);
    if (const int code = run.Connect(); code != kExitOk) return code;

    PluUpload& upload = window.Transfers().Upload();
    upload.menuUpLoadClick();
    const std::string untouched = options.file + " was not written";
    const int code = run.Wait([&] { return upload.Outcome(); }, "upload", untouched);
    if (code != kExitOk) return code;
    if (upload.Outcome() != TransferOutcome::Succeeded) return kExitTransfer;

    try {
        SaveTableFile(*window.Grid(), options.file);
    } catch (const std::exception& e) {
        err << kSyntax.name << ": " << options.file << ": cannot be written: " << ErrorText(e)
            << "\n";
        return kExitFile;
    }
    // Fields the sheet could not take were reported as they came and the
    // upload went on, as in the window; a script must still learn that the
    // file is not the scale's whole table.
    if (const int errors = window.ErrorsShown(); errors > 0) {
        err << kSyntax.name << ": " << options.file << " was written, but " << errors
            << (errors == 1 ? " field" : " fields") << " of the scale's table could not be read\n";
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace plu::cli
