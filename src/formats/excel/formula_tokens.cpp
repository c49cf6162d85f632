#include "formats/excel/formula_tokens.h"

#include <cmath>
#include <cstring>

#include "formats/biff8/function_table.h"
#include "formats/biff8/xls_record.h"
#include "formulas/function_list.h"

namespace plu {
namespace {

// Token ids (reference class; value class adds 0x20).
constexpr uint8_t kPtgUplus = 0x12;
constexpr uint8_t kPtgUminus = 0x13;
constexpr uint8_t kPtgPercent = 0x14;
constexpr uint8_t kPtgParen = 0x15;
constexpr uint8_t kPtgStr = 0x17;
constexpr uint8_t kPtgErr = 0x1C;
constexpr uint8_t kPtgBool = 0x1D;
constexpr uint8_t kPtgInt = 0x1E;
constexpr uint8_t kPtgNum = 0x1F;
constexpr uint8_t kPtgFuncV = 0x41;
constexpr uint8_t kPtgFuncVarV = 0x42;
constexpr uint8_t kPtgRef = 0x24;
constexpr uint8_t kPtgArea = 0x25;
constexpr uint8_t kPtgRef3d = 0x3A;
constexpr uint8_t kPtgArea3d = 0x3B;
// An operand token's value class id is its reference class id + 0x20.
constexpr uint8_t kValueClassStep = 0x20;

constexpr int kLastRow = kMaxRows - 1;
constexpr int kLastCol = kMaxColumns - 1;
constexpr size_t kMaxStringToken = 255;
constexpr int kMaxArguments = 255;

std::optional<uint8_t> OperatorId(TKtTokenKind kind) {
    switch (kind) {
        case TKtTokenKind::Add:
            return 0x03;
        case TKtTokenKind::Subtract:
            return 0x04;
        case TKtTokenKind::Multiply:
            return 0x05;
        case TKtTokenKind::Divide:
            return 0x06;
        case TKtTokenKind::Power:
            return 0x07;
        case TKtTokenKind::Concat:
            return 0x08;
        case TKtTokenKind::Less:
            return 0x09;
        case TKtTokenKind::LessEqual:
            return 0x0A;
        case TKtTokenKind::Equal:
            return 0x0B;
        case TKtTokenKind::GreaterEqual:
            return 0x0C;
        case TKtTokenKind::Greater:
            return 0x0D;
        case TKtTokenKind::NotEqual:
            return 0x0E;
        case TKtTokenKind::UnaryPlus:
            return kPtgUplus;
        case TKtTokenKind::UnaryMinus:
            return kPtgUminus;
        case TKtTokenKind::Percent:
            return kPtgPercent;
        default:
            return std::nullopt;
    }
}

class Encoder {
  public:
    explicit Encoder(const TXlsFormulaPlacement& placement) : placement_(placement) {}

    bool Run(const TKtTokenList& list) {
        for (const TKtToken& t : list.Tokens) {
            if (!Token(list, t)) return false;
            for (uint32_t i = 0; i < t.Parens; ++i)
                bytes_.push_back(kPtgParen);
        }
        return true;
    }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

  private:
    void Put16(uint32_t v) {
        bytes_.push_back(static_cast<uint8_t>(v));
        bytes_.push_back(static_cast<uint8_t>(v >> 8));
    }

    // Each value on the evaluation stack remembers where the token that
    // made it starts, so a function can turn its reference arguments into
    // reference class.
    void Push(bool isReference) { stack_.push_back({bytes_.size(), isReference}); }
    bool Pop(size_t n, std::vector<std::pair<size_t, bool>>* taken = nullptr) {
        if (stack_.size() < n) return false;
        if (taken) taken->assign(stack_.end() - static_cast<std::ptrdiff_t>(n), stack_.end());
        stack_.resize(stack_.size() - n);
        return true;
    }

    bool Token(const TKtTokenList& list, const TKtToken& t) {
        if (auto op = OperatorId(t.Kind)) {
            const bool unary = t.Kind == TKtTokenKind::UnaryPlus ||
                               t.Kind == TKtTokenKind::UnaryMinus ||
                               t.Kind == TKtTokenKind::Percent;
            if (!Pop(unary ? 1 : 2)) return false;
            Push(false);
            bytes_.push_back(*op);
            return true;
        }
        switch (t.Kind) {
            case TKtTokenKind::Number:
                return Number(t.Number);
            case TKtTokenKind::String:
                return String(list.StringOf(t));
            case TKtTokenKind::EmptyString:
                return String({});
            case TKtTokenKind::Boolean:
                Push(false);
                bytes_.push_back(kPtgBool);
                bytes_.push_back(t.Index != 0 ? 1 : 0);
                return true;
            case TKtTokenKind::Error: {
                const auto code = BiffErrorCode(t.ErrorCode());
                if (!code) return false;
                Push(false);
                bytes_.push_back(kPtgErr);
                bytes_.push_back(*code);
                return true;
            }
            case TKtTokenKind::CellRef:
                return Reference(t, false);
            case TKtTokenKind::Range:
                return Reference(t, true);
            case TKtTokenKind::Function:
                return Function(t);
            default:
                return false;  // names, unknown functions
        }
    }

    bool Number(double v) {
        if (!std::isfinite(v)) return false;
        Push(false);
        if (v >= 0 && v <= 65535 && v == std::floor(v) && !(v == 0 && std::signbit(v))) {
            bytes_.push_back(kPtgInt);
            Put16(static_cast<uint32_t>(v));
            return true;
        }
        bytes_.push_back(kPtgNum);
        uint8_t raw[8];
        std::memcpy(raw, &v, 8);  // little-endian IEEE double, as the file stores it
        bytes_.insert(bytes_.end(), raw, raw + 8);
        return true;
    }

    bool String(const WideString& text) {
        if (text.size() > kMaxStringToken) return false;
        Push(false);
        bytes_.push_back(kPtgStr);
        bytes_.push_back(static_cast<uint8_t>(text.size()));
        bytes_.push_back(0x01);  // 16-bit characters
        for (char16_t c : text)
            Put16(c);
        return true;
    }

    // One corner: the sheet row and the column field (column, bit 14 column
    // relative, bit 15 row relative). An open part spans the whole sheet.
    bool Corner(const TKtCellRefPart& p, bool last, bool ownSheet, uint16_t& row,
                uint16_t& colField) {
        int r = p.Row < 0 ? (last ? kLastRow : 0) : p.Row + (ownSheet ? placement_.rowShift : 0);
        int c = p.Col < 0 ? (last ? kLastCol : 0) : p.Col + (ownSheet ? placement_.colShift : 0);
        if (r < 0 || r > kLastRow || c < 0 || c > kLastCol) return false;
        row = static_cast<uint16_t>(r);
        colField = static_cast<uint16_t>(c);
        // An open part is relative, as other programs write whole columns.
        if (!p.AbsCol || p.Col < 0) colField |= 0x4000;
        if (!p.AbsRow || p.Row < 0) colField |= 0x8000;
        return true;
    }

    bool Reference(const TKtToken& t, bool area) {
        const bool ownSheet = t.Sheet < 0;
        int ixti = -1;
        if (!ownSheet) {
            ixti = placement_.externSheet ? placement_.externSheet(t.Sheet) : -1;
            if (ixti < 0 || ixti > 0xFFFF) return false;
        }
        uint16_t r1, c1, r2 = 0, c2 = 0;
        if (!Corner(t.First, false, ownSheet, r1, c1)) return false;
        if (area && !Corner(t.Last, true, ownSheet, r2, c2)) return false;
        Push(true);
        uint8_t id = ownSheet ? (area ? kPtgArea : kPtgRef) : (area ? kPtgArea3d : kPtgRef3d);
        bytes_.push_back(static_cast<uint8_t>(id + kValueClassStep));
        if (!ownSheet) Put16(static_cast<uint32_t>(ixti));
        if (area) {
            Put16(r1);
            Put16(r2);
            Put16(c1);
            Put16(c2);
        } else {
            Put16(r1);
            Put16(c1);
        }
        return true;
    }

    bool Function(const TKtToken& t) {
        const TKtFormulaFunctionDefine* f = t.Function;
        if (!f || f->Id < 0 || f->Id >= kExcelFunctionCount) return false;
        // Only the standard list's functions carry BIFF8 numbers; a user
        // function of the same name is a different function.
        if (StandardFunctions().FindById(f->Id) != f) return false;
        const TExcelFunction& biff = TExcelFunctions[static_cast<size_t>(f->Id)];
        if (!SameText(Utf8ToWide(biff.Name), f->Name)) return false;
        if (t.ArgCount < 0 || t.ArgCount > kMaxArguments) return false;
        std::vector<std::pair<size_t, bool>> args;
        if (!Pop(static_cast<size_t>(t.ArgCount), &args)) return false;
        for (const auto& [at, isReference] : args)
            if (isReference) bytes_[at] = static_cast<uint8_t>(bytes_[at] - kValueClassStep);
        Push(false);
        if (!biff.Variable && biff.ArgCount == t.ArgCount) {
            bytes_.push_back(kPtgFuncV);
        } else {
            bytes_.push_back(kPtgFuncVarV);
            bytes_.push_back(static_cast<uint8_t>(t.ArgCount));
        }
        Put16(static_cast<uint32_t>(f->Id));
        return true;
    }

    const TXlsFormulaPlacement& placement_;
    std::vector<uint8_t> bytes_;
    std::vector<std::pair<size_t, bool>> stack_;
};

}  // namespace

std::optional<uint8_t> BiffErrorCode(TKtErrorCode code) {
    switch (code) {
        case TKtErrorCode::Null:
            return 0x00;
        case TKtErrorCode::Div0:
            return 0x07;
        case TKtErrorCode::Value:
            return 0x0F;
        case TKtErrorCode::Ref:
            return 0x17;
        case TKtErrorCode::Name:
            return 0x1D;
        case TKtErrorCode::Num:
            return 0x24;
        case TKtErrorCode::NA:
            return 0x2A;
        case TKtErrorCode::Unknown:
            break;
    }
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> EncodeFormulaTokens(const TKtTokenList& list,
                                                        const TXlsFormulaPlacement& placement) {
    Encoder encoder(placement);
    if (list.Tokens.empty() || !encoder.Run(list)) return std::nullopt;
    std::vector<uint8_t> bytes = encoder.Take();
    // The tokens share one FORMULA record with 22 bytes of cell and result.
    if (bytes.size() > static_cast<size_t>(kMaxRecordBody - 22)) return std::nullopt;
    return bytes;
}

}  // namespace plu
