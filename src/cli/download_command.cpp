// plu-tool download: a table file goes to the scale as DownLoad > Start
// sends the sheet, with the same validation.
#include <map>
#include <vector>

#include "cli/interrupt.h"
#include "cli/table_io.h"
#include "cli/transfer_command.h"
#include "grid/custom_grid.h"
#include "plu/plu_row.h"
#include "plu/plu_sheet.h"

namespace plu::cli {

namespace {

const TransferSyntax kSyntax{
    "plu-tool download", "FILE --port DEVICE [--timeout SECONDS] [--limit SECONDS]", true, false};

// The text columns whose characters the scale cannot show, by row. Taken
// before the validation, which upper-cases those cells and so may hide the
// character that failed.
std::map<int, std::vector<int>> TextFailures(const TKtCustomGrid& grid) {
    std::map<int, std::vector<int>> failures;
    for (int row : {kBusinessNameRow, kSecondLineRow})
        if (!IsScaleTextCell(grid, kColBusiness, row)) failures[row].push_back(kColBusiness);
    for (int row = kFirstPluRow; row <= kLastRow; ++row)
        for (int col : {kColName, kColIngredients})
            if (!IsScaleTextCell(grid, col, row)) failures[row].push_back(col);
    return failures;
}

// The columns to blame for a marked row.
std::vector<int> FailedColumns(const TKtCustomGrid& grid, int row, uint16_t capacityClass,
                               const std::map<int, std::vector<int>>& before) {
    if (auto it = before.find(row); it != before.end()) return it->second;
    std::vector<int> columns;
    if (row < kFirstPluRow) {
        columns.push_back(kColBusiness);
        return columns;
    }
    for (int col : {kColName, kColIngredients})
        if (!IsScaleTextCell(grid, col, row)) columns.push_back(col);
    if (!columns.empty()) return columns;
    const PluRowCheck check = CheckPluRow(ShownRowTexts(grid, row), capacityClass);
    if (check.kind == PluRowKind::Invalid) columns.push_back(check.failedColumn);
    return columns;
}

// One line per marked row: where it is and which columns failed, named by
// the sheet's own captions.
void ListMarkedRows(const TKtCustomGrid& grid, const std::vector<int>& rows, uint16_t capacityClass,
                    const std::map<int, std::vector<int>>& before, std::ostream& err) {
    for (int row : rows) {
        err << "  ";
        if (row == kBusinessNameRow) {
            err << "business name, row " << row;
        } else if (row == kSecondLineRow) {
            err << "second business line, row " << row;
        } else {
            const std::string label = WideToUtf8(ShownText(grid, kColAddr, row));
            const std::string number = std::to_string(row - kCaptionRow);
            err << "PLU " << number;
            if (!label.empty() && label != number) err << " (" << label << ")";
            err << ", row " << row;
        }
        const std::vector<int> columns = FailedColumns(grid, row, capacityClass, before);
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const int col = columns[i];
            std::string caption = WideToUtf8(ShownText(grid, col, kCaptionRow));
            if (row < kFirstPluRow || caption.empty()) caption = "column " + std::to_string(col);
            err << (i == 0 ? ": " : ", ") << caption;
        }
        err << "\n";
    }
}

}  // namespace

int RunDownload(const Args& args, std::ostream& out, std::ostream& err) {
    TransferOptions options;
    if (!ParseTransferOptions(args, kSyntax, options, err)) return kExitUsage;

    // Ctrl+C stops the download as the Stop command does: the scale is told
    // the table ends there, so it does not wait for records that never come.
    // Caught from the start, an early one stops the download at its header.
    InterruptCatcher interrupt;
    HeadlessWindow window(kSyntax.name, out, err, WantsProgress(out));
    try {
        OpenTable(window, options.file, err, kSyntax.name);
    } catch (const std::exception& e) {
        err << kSyntax.name << ": " << options.file << ": cannot be read: " << ErrorText(e) << "\n";
        return kExitFile;
    }

    TransferRun run(kSyntax, options, window, err);
    if (const int code = run.Connect(); code != kExitOk) return code;

    TKtCustomGrid* grid = window.Grid();
    const std::map<int, std::vector<int>> textFailures = TextFailures(*grid);
    PluDownload& download = window.Transfers().Download();
    download.menuStartClick();
    if (download.Outcome() == TransferOutcome::DataErrors) {
        // "Data errors." is already out; nothing was sent.
        ListMarkedRows(*window.Grid(), download.MarkedRows(), window.State().CapacityClass,
                       textFailures, err);
        return kExitFile;
    }
    bool stopAsked = false;
    const int code = run.Wait(
        [&] {
            if (InterruptCatcher::Requested() && !stopAsked) {
                stopAsked = true;
                download.menuStopClick();
            }
            return download.Outcome();
        },
        "download", "the scale may hold part of the table");
    if (code != kExitOk) return code;
    if (download.Outcome() == TransferOutcome::Stopped) {
        err << kSyntax.name << ": stopped on request; the scale holds the records sent before\n";
        return kExitTransfer;
    }
    return download.Outcome() == TransferOutcome::Succeeded ? kExitOk : kExitTransfer;
}

}  // namespace plu::cli
