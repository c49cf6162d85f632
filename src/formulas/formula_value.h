// Values that flow through a formula evaluation, the error codes a formula
// can show, and the exceptions of the formula engine.
#pragma once

#include <cstdint>
#include <optional>

#include "base/exceptions.h"
#include "base/wide_text.h"

namespace plu {

// Error codes; their names are what a formula shows and the literals the
// language accepts after "#" (any case).
enum class TKtErrorCode : uint8_t {
    Unknown = 0,  // "#Unknown": a function rejected its arguments
    Null = 1,     // "#NULL!"
    Div0 = 2,     // "#DIV/0!"
    Value = 3,    // "#VALUE!"
    Ref = 4,      // "#REF!"
    Name = 5,     // "#NAME?"
    Num = 6,      // "#NUM!"
    NA = 7,       // "#N/A"
};

inline constexpr int kErrorCodeCount = 8;

WideStringView ErrorName(TKtErrorCode code);
// The code whose name `text` is (case-insensitive), if any.
std::optional<TKtErrorCode> ErrorCodeOfName(WideStringView text);

// Kinds of a formula value. The numbers are the stored kinds; 6 is unused.
// As a declared function result kind, Empty means "any".
enum class TKtFormulaValueKind : uint8_t {
    Empty = 0,
    Number = 1,
    String = 2,
    Boolean = 3,
    CellRef = 4,
    Range = 5,
    Error = 7,
};

// One formula value. Coordinates are data coordinates (A1 is column 0, row 0);
// Sheet is a sheet index or -1 for the formula's own sheet. A cell reference
// uses Left/Top; a range uses all four corners as written, where -1 marks a
// part the text left out (whole columns "A:B" have Top = Bottom = -1).
// Strings stay wide: formula texts and cell texts are wide in this program.
struct TKtFormulaValue {
    TKtFormulaValueKind Kind = TKtFormulaValueKind::Empty;
    double Number = 0;
    bool Boolean = false;
    TKtErrorCode Error = TKtErrorCode::Unknown;
    WideString Text;
    int Sheet = -1;
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    static TKtFormulaValue FromNumber(double value);
    static TKtFormulaValue FromString(WideString text);
    static TKtFormulaValue FromBoolean(bool value);
    static TKtFormulaValue FromError(TKtErrorCode code);
    static TKtFormulaValue FromCell(int sheet, int col, int row);
    static TKtFormulaValue FromRange(int sheet, int left, int top, int right, int bottom);

    bool IsError() const { return Kind == TKtFormulaValueKind::Error; }
};

// An error value raised during evaluation; the evaluation that sees it ends
// with that error as its result. The message is the error's name unless a
// function gives its own.
class EKtFormulaError : public Exception {
public:
    explicit EKtFormulaError(TKtErrorCode code);
    EKtFormulaError(TKtErrorCode code, WideStringView message);
    TKtErrorCode Code() const noexcept { return code_; }

private:
    TKtErrorCode code_;
};

// A formula text that cannot be compiled.
class EKtCompileError : public Exception {
public:
    using Exception::Exception;
};

// An evaluation failure that is no error value (wrong argument count or
// result kind, unsupported comparison, circular reference): it reaches the
// operation that asked for the value.
class EKtCalcError : public Exception {
public:
    using Exception::Exception;
};

// Replaces the first "%s" of a message with `arg`.
WideString FormatMessage(WideStringView pattern, WideStringView arg);

}  // namespace plu
