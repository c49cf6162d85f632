#include "formats/biff8/formula_text.h"

#include <bit>
#include <cstdio>
#include <string>
#include <vector>

#include "base/ansi_code_page.h"
#include "base/conversions.h"
#include "base/exceptions.h"
#include "base/float_text.h"
#include "formats/biff8/function_table.h"

namespace plu {

const char16_t* BiffErrorText(std::uint8_t code) {
    switch (code) {
        case 0x00:
            return u"#NULL!";
        case 0x07:
            return u"#DIV/0!";
        case 0x0F:
            return u"#VALUE!";
        case 0x17:
            return u"#REF!";
        case 0x1D:
            return u"#NAME?";
        case 0x24:
            return u"#NUM!";
        case 0x2A:
            return u"#N/A";
        default:
            return nullptr;
    }
}

namespace {

// Record layouts around the tokens.
constexpr std::size_t kFormulaRowOffset = 0;
constexpr std::size_t kFormulaColumnOffset = 2;
constexpr std::size_t kFormulaTokenCountOffset = 20;
constexpr std::size_t kFormulaTokensOffset = 22;
constexpr std::size_t kSharedTokenCountOffset = 8;
constexpr std::size_t kSharedTokensOffset = 10;

// BIFF8 sheet limits; relative references of shared formulas wrap around them.
constexpr unsigned kRowCount = 65536;
constexpr unsigned kColumnCount = 256;

// Column field of a reference: bits 0-13 column, bit 14 column relative,
// bit 15 row relative.
constexpr unsigned kColumnMask = 0x3FFF;
constexpr unsigned kColumnRelative = 0x4000;
constexpr unsigned kRowRelative = 0x8000;

// ptgAttr option bits that change the text; the others (volatile, if, skip,
// space) leave the stack alone.
constexpr std::uint8_t kAttrChoose = 0x04;
constexpr std::uint8_t kAttrSum = 0x10;

// Element kinds of an array constant; all but strings take 8 data bytes.
constexpr std::uint8_t kArrayEmpty = 0x00;
constexpr std::uint8_t kArrayNumber = 0x01;
constexpr std::uint8_t kArrayString = 0x02;
constexpr std::uint8_t kArrayBoolean = 0x04;
constexpr std::uint8_t kArrayError = 0x10;
constexpr std::size_t kArrayFixedElementSize = 8;

constexpr const char16_t* kBinaryOperators[] = {u"+", u"-",  u"*", u"/",  u"^", u"&",
                                                u"<", u"<=", u"=", u">=", u">", u"<>"};

// An error constant of a formula; an unknown code shows as "#???".
const char16_t* ErrorTokenText(std::uint8_t code) {
    const char16_t* text = BiffErrorText(code);
    return text ? text : u"#???";
}

const char16_t* BoolText(bool value) {
    return value ? u"True" : u"False";
}

std::uint16_t U16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

double F64(const std::uint8_t* p) {
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | p[i];
    return std::bit_cast<double>(bits);
}

// Spreadsheet column letters: A..Z, AA..IV, and on in the same way for the
// larger column numbers a damaged reference may carry.
void AppendColumnLetters(WideString& out, unsigned column) {
    char16_t letters[8];
    int n = 0;
    unsigned rest = column + 1;
    while (rest > 0) {
        --rest;
        letters[n++] = static_cast<char16_t>(u'A' + rest % 26);
        rest /= 26;
    }
    while (n > 0)
        out += letters[--n];
}

WideString CellText(unsigned row, unsigned column, bool columnRelative, bool rowRelative) {
    WideString text;
    if (!columnRelative) text += u'$';
    AppendColumnLetters(text, column);
    if (!rowRelative) text += u'$';
    text += IntToWide(static_cast<std::int64_t>(row) + 1);
    return text;
}

// ptgRef/ptgArea corner: absolute row and column.
WideString AbsoluteCorner(std::uint16_t row, std::uint16_t columnField) {
    return CellText(row, columnField & kColumnMask, (columnField & kColumnRelative) != 0,
                    (columnField & kRowRelative) != 0);
}

// A quoted string literal. Inner quotation marks are doubled, the way the
// formula language reads a quotation mark inside a string; written single,
// they would end the string early and break the formula.
WideString Quoted(WideStringView text) {
    WideString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (char16_t c : text) {
        if (c == u'"') out += u'"';
        out += c;
    }
    out += u'"';
    return out;
}

// One item of the text stack. Parentheses, signs and SUM( wrap the top item
// again and again in long token streams; prefixes are therefore collected in
// reverse and put in front once, when the item is used, so that wrapping
// costs no copy of the whole text each time.
class TextItem {
  public:
    TextItem() = default;
    explicit TextItem(WideString text) : text_(std::move(text)) {}

    void Prepend(WideStringView prefix) { reversedPrefix_.append(prefix.rbegin(), prefix.rend()); }
    void Append(WideStringView suffix) { text_ += suffix; }
    void Append(TextItem&& other) {
        if (other.reversedPrefix_.empty()) {
            text_ += other.text_;
            return;
        }
        text_.append(other.reversedPrefix_.rbegin(), other.reversedPrefix_.rend());
        text_ += other.text_;
    }
    WideString Take() && {
        if (reversedPrefix_.empty()) return std::move(text_);
        WideString out(reversedPrefix_.rbegin(), reversedPrefix_.rend());
        out += text_;
        return out;
    }

  private:
    WideString reversedPrefix_;
    WideString text_;
};

[[noreturn]] void ThrowIndexError(std::ptrdiff_t index) {
    char text[64];
    std::snprintf(text, sizeof text, "List index out of bounds (%td)", index);
    throw ERangeError(text);
}

class TokenDecoder {
  public:
    TokenDecoder(std::span<const std::uint8_t> body, std::size_t tokenByteCount, int baseRow,
                 int baseColumn, const TGetNameText& getNameText)
        : body_(body),
          tokenEnd_(tokenByteCount < body.size() ? tokenByteCount : body.size()),
          baseRow_(baseRow),
          baseColumn_(baseColumn),
          getNameText_(getNameText) {}

    WideString Run() {
        pos_ = 0;
        extra_ = tokenEnd_;
        while (pos_ < tokenEnd_) {
            const std::uint8_t id = body_[pos_];
            if (id == 0x00 || !Decode(id)) break;
        }
        return stack_.empty() ? WideString(u"[ERROR]") : std::move(stack_.back()).Take();
    }

  private:
    // Handles the token at pos_; false ends decoding.
    bool Decode(std::uint8_t id) {
        const std::uint8_t* d = nullptr;
        if (id >= 0x03 && id <= 0x0E) {  // ptgAdd ... ptgNE
            if (!Take(id, 0, d)) return false;
            Binary(kBinaryOperators[id - 0x03]);
            return true;
        }
        if (id < 0x20) {
            switch (id) {
                case 0x01:  // ptgExp: row and column of the shared or array formula
                    return Take(id, 4, d);
                case 0x10:  // ptgUnion
                    if (!Take(id, 0, d)) return false;
                    Binary(u",");
                    return true;
                case 0x11:  // ptgRange
                    if (!Take(id, 0, d)) return false;
                    Binary(u":");
                    return true;
                case 0x12:  // ptgUplus
                    return Take(id, 0, d);
                case 0x13:  // ptgUminus
                    if (!Take(id, 0, d)) return false;
                    if (stack_.empty())
                        Push(u"<Val missing>");
                    else
                        stack_.back().Prepend(u"-");
                    return true;
                case 0x14:  // ptgPercent
                    if (!Take(id, 0, d)) return false;
                    if (stack_.empty())
                        Push(u"<Val missing>");
                    else
                        stack_.back().Append(u"%");
                    return true;
                case 0x15: {  // ptgParen
                    if (!Take(id, 0, d)) return false;
                    TextItem& top = Top();
                    top.Prepend(u"(");
                    top.Append(u")");
                    return true;
                }
                case 0x16:  // ptgMissArg
                    if (!Take(id, 0, d)) return false;
                    Push(WideString());
                    return true;
                case 0x17:  // ptgStr
                    return DecodeString(id);
                case 0x19:  // ptgAttr
                    return DecodeAttribute(id);
                case 0x1A:  // ptgSheet (BIFF5 leftover)
                    return Take(id, 10, d);
                case 0x1B:  // ptgEndSheet
                    return Take(id, 4, d);
                case 0x1C:  // ptgErr
                    if (!Take(id, 1, d)) return false;
                    Push(ErrorTokenText(d[0]));
                    return true;
                case 0x1D:  // ptgBool
                    if (!Take(id, 1, d)) return false;
                    Push(BoolText(d[0] != 0));
                    return true;
                case 0x1E:  // ptgInt
                    if (!Take(id, 2, d)) return false;
                    Push(IntToWide(U16(d)));
                    return true;
                case 0x1F:  // ptgNum
                    if (!Take(id, 8, d)) return false;
                    Push(FloatToTextGeneral(F64(d), 15, u'.'));
                    return true;
                default:
                    return Unknown(id);
            }
        }
        if (id > 0x7F) return Unknown(id);
        // Operand tokens: reference (0x2_), value (0x4_) and array (0x6_)
        // classes decode alike.
        switch (0x20 | (id & 0x1F)) {
            case 0x20:  // ptgArray: 7 unused bytes, the constant is in the extra data
                if (!Take(id, 7, d)) return false;
                return DecodeArrayConstant(id);
            case 0x21: {  // ptgFunc
                if (!Take(id, 2, d)) return false;
                const std::uint16_t index = U16(d);
                if (index < kExcelFunctionCount) {
                    const TExcelFunction& f = TExcelFunctions[index];
                    Call(AsciiToWide(f.Name), f.ArgCount, false);
                } else {
                    Call(u"?<" + IntToWide(index) + u">?", 1, false);
                }
                return true;
            }
            case 0x22: {  // ptgFuncVar
                if (!Take(id, 3, d)) return false;
                const int count = d[0] & 0x7F;  // bit 7: the prompt flag
                const std::uint16_t index = U16(d + 1);
                // Indexes beyond the table (the command flag in bit 15
                // included) name their function through the first argument.
                const char* name = index < kExcelFunctionCount ? TExcelFunctions[index].Name : "1";
                const bool nameIsArgument = name[0] >= '0' && name[0] <= '9';
                Call(AsciiToWide(name), count, nameIsArgument);
                return true;
            }
            case 0x23:  // ptgName: name index, 2 reserved bytes
                if (!Take(id, 4, d)) return false;
                Push(NameText(kNameKindDefined, -1, U16(d)));
                return true;
            case 0x24:  // ptgRef
                if (!Take(id, 4, d)) return false;
                Push(AbsoluteCorner(U16(d), U16(d + 2)));
                return true;
            case 0x25:  // ptgArea: first row, last row, first column, last column
                if (!Take(id, 8, d)) return false;
                Push(AbsoluteCorner(U16(d), U16(d + 4)) + u":" +
                     AbsoluteCorner(U16(d + 2), U16(d + 6)));
                return true;
            case 0x29:  // ptgMemFunc: the enclosed tokens follow in the stream
                return Take(id, 2, d);
            case 0x2A:  // ptgRefErr
                if (!Take(id, 4, d)) return false;
                Push(u"#REF!");
                return true;
            case 0x2B:  // ptgAreaErr
                if (!Take(id, 8, d)) return false;
                Push(u"#REF!");
                return true;
            case 0x2C:  // ptgRefN
                if (!Take(id, 4, d)) return false;
                Push(RelativeCorner(U16(d), U16(d + 2)));
                return true;
            case 0x2D:  // ptgAreaN
                if (!Take(id, 8, d)) return false;
                Push(RelativeCorner(U16(d), U16(d + 4)) + u":" +
                     RelativeCorner(U16(d + 2), U16(d + 6)));
                return true;
            case 0x39:  // ptgNameX: EXTERNSHEET index, name index, 2 reserved bytes
                if (!Take(id, 6, d)) return false;
                Push(NameText(kNameKindExternal, U16(d), U16(d + 2)));
                return true;
            case 0x3A:  // ptgRef3d: EXTERNSHEET index, row, column field
                if (!Take(id, 6, d)) return false;
                Push(SheetText(U16(d)) + AbsoluteCorner(U16(d + 2), U16(d + 4)));
                return true;
            case 0x3B:  // ptgArea3d
                if (!Take(id, 10, d)) return false;
                Push(SheetText(U16(d)) + AbsoluteCorner(U16(d + 2), U16(d + 6)) + u":" +
                     AbsoluteCorner(U16(d + 4), U16(d + 8)));
                return true;
            case 0x3C:  // ptgRefErr3d
                if (!Take(id, 6, d)) return false;
                Push(SheetText(U16(d)) + u"#REF!");
                return true;
            case 0x3D:  // ptgAreaErr3d
                if (!Take(id, 10, d)) return false;
                Push(SheetText(U16(d)) + u"#REF!");
                return true;
            default:  // ptgMemArea, ptgMemErr, ptgMemNoMem, ptgMemAreaN and the unused ids
                return Unknown(id);
        }
    }

    // Moves past the token id and `size` data bytes and points `data` at the
    // first data byte; a token cut off by the end of the body ends decoding.
    bool Take(std::uint8_t id, std::size_t size, const std::uint8_t*& data) {
        if (body_.size() - pos_ - 1 < size) return Diagnostic("Truncated", id);
        data = body_.data() + pos_ + 1;
        pos_ += 1 + size;
        return true;
    }

    bool Unknown(std::uint8_t id) { return Diagnostic("Unknown", id); }

    bool Diagnostic(const char* what, std::uint8_t id) {
        char text[32];
        std::snprintf(text, sizeof text, "%s ptg[%.2X]", what, static_cast<unsigned>(id));
        Push(AsciiToWide(text));
        return false;
    }

    void Push(WideString text) { stack_.emplace_back(std::move(text)); }

    TextItem& Top() {
        if (stack_.empty()) ThrowIndexError(-1);
        return stack_.back();
    }

    void Binary(const char16_t* op) {
        if (stack_.size() < 2) {
            Push(u"<Val missing>");
            return;
        }
        TextItem right = std::move(stack_.back());
        stack_.pop_back();
        TextItem& left = stack_.back();
        left.Append(op);
        left.Append(std::move(right));
    }

    // name(arguments) from the `count` top items, deepest first. When the
    // name is carried by the call itself, the deepest item is the name.
    void Call(WideString name, int count, bool nameIsArgument) {
        const auto size = static_cast<std::ptrdiff_t>(stack_.size());
        std::ptrdiff_t first = size - count;
        if (first < 0 || (nameIsArgument && count == 0)) ThrowIndexError(first);
        if (nameIsArgument) name = std::move(stack_[static_cast<std::size_t>(first++)]).Take();
        WideString text = std::move(name);
        text += u'(';
        for (std::ptrdiff_t i = first; i < size; ++i) {
            if (i > first) text += u',';
            text += std::move(stack_[static_cast<std::size_t>(i)]).Take();
        }
        text += u')';
        stack_.resize(static_cast<std::size_t>(size - count));
        Push(std::move(text));
    }

    // ptgRefN/ptgAreaN corner: relative parts are offsets from the base cell
    // (row: signed 16 bits; column: the low 8 bits, signed) and wrap around
    // the sheet as BIFF8 offsets do; absolute parts are plain indexes.
    WideString RelativeCorner(std::uint16_t rowField, std::uint16_t columnField) const {
        const bool rowRelative = (columnField & kRowRelative) != 0;
        const bool columnRelative = (columnField & kColumnRelative) != 0;
        unsigned row = rowField;
        if (rowRelative) {
            const long r = static_cast<long>(baseRow_) + static_cast<std::int16_t>(rowField);
            row = static_cast<unsigned>(((r % kRowCount) + kRowCount) % kRowCount);
        }
        unsigned column = columnField & 0xFF;
        if (columnRelative) {
            const long c = static_cast<long>(baseColumn_) +
                           static_cast<std::int8_t>(static_cast<std::uint8_t>(columnField & 0xFF));
            column = static_cast<unsigned>(((c % kColumnCount) + kColumnCount) % kColumnCount);
        }
        return CellText(row, column, columnRelative, rowRelative);
    }

    WideString NameText(std::uint8_t kind, int sheetIndex, int itemIndex) const {
        if (!getNameText_) return UnresolvedNameText(kind, sheetIndex, itemIndex);
        return getNameText_(kind, sheetIndex, itemIndex);
    }

    WideString SheetText(std::uint16_t externSheet) const {
        return NameText(kNameKindExternal, externSheet, -1) + u"!";
    }

    // Count byte, option byte (0: 8-bit characters, else 16-bit), characters.
    bool DecodeString(std::uint8_t id) {
        const std::uint8_t* d = nullptr;
        if (!Take(id, 2, d)) return false;
        WideString text;
        if (!ReadCharacters(pos_, d[0], d[1] != 0, text)) return Diagnostic("Truncated", id);
        Push(Quoted(text));
        return true;
    }

    // Reads `count` characters at `at` and moves `at` past them; false when
    // they run past the body.
    bool ReadCharacters(std::size_t& at, std::size_t count, bool wide, WideString& text) const {
        const std::size_t bytes = wide ? count * 2 : count;
        if (body_.size() - at < bytes) return false;
        const std::uint8_t* p = body_.data() + at;
        if (wide) {
            text.resize(count);
            for (std::size_t i = 0; i < count; ++i)
                text[i] = static_cast<char16_t>(U16(p + 2 * i));
        } else {
            text = AnsiToWide(std::string_view(reinterpret_cast<const char*>(p), count));
        }
        at += bytes;
        return true;
    }

    // Option byte and a u16; a choose carries a jump table of value + 1 u16
    // offsets after them.
    bool DecodeAttribute(std::uint8_t id) {
        const std::uint8_t* d = nullptr;
        if (!Take(id, 3, d)) return false;
        const std::uint8_t options = d[0];
        if (options & kAttrChoose) {
            const std::size_t table = (static_cast<std::size_t>(U16(d + 1)) + 1) * 2;
            if (body_.size() - pos_ < table) return Diagnostic("Truncated", id);
            pos_ += table;
        } else if (options & kAttrSum) {
            TextItem& top = Top();
            top.Prepend(u"SUM(");
            top.Append(u")");
        }
        return true;
    }

    // The constant at the extra-data cursor: columns - 1 (byte), rows - 1
    // (u16), then the elements row by row. Written as a spreadsheet writes
    // it: "," between the elements of a row, ";" between rows.
    bool DecodeArrayConstant(std::uint8_t id) {
        std::size_t at = extra_;
        if (body_.size() - at < 3) return Diagnostic("Truncated", id);
        const unsigned columns = body_[at] + 1u;
        const unsigned rows = U16(body_.data() + at + 1) + 1u;
        at += 3;
        WideString text = u"{";
        for (unsigned r = 0; r < rows; ++r) {
            if (r > 0) text += u';';
            for (unsigned c = 0; c < columns; ++c) {
                if (c > 0) text += u',';
                if (at >= body_.size()) return Diagnostic("Truncated", id);
                const std::uint8_t kind = body_[at++];
                if (kind == kArrayString) {
                    if (body_.size() - at < 3) return Diagnostic("Truncated", id);
                    const std::size_t count = U16(body_.data() + at);
                    const bool wide = body_[at + 2] != 0;
                    at += 3;
                    WideString chars;
                    if (!ReadCharacters(at, count, wide, chars)) return Diagnostic("Truncated", id);
                    text += Quoted(chars);
                    continue;
                }
                if (kind != kArrayEmpty && kind != kArrayNumber && kind != kArrayBoolean &&
                    kind != kArrayError) {
                    // The size of an unknown element is unknown, so the rest of
                    // the extra data cannot be trusted for later arrays either.
                    Push(u"Bad element ID#" + IntToWide(kind) + u" in array");
                    extra_ = body_.size();
                    return true;
                }
                if (body_.size() - at < kArrayFixedElementSize) return Diagnostic("Truncated", id);
                const std::uint8_t* e = body_.data() + at;
                at += kArrayFixedElementSize;
                if (kind == kArrayNumber)
                    text += FloatToTextGeneral(F64(e), 15, u'.');
                else if (kind == kArrayBoolean)
                    text += BoolText(e[0] != 0);
                else if (kind == kArrayError)
                    text += ErrorTokenText(e[0]);
            }
        }
        text += u'}';
        extra_ = at;
        Push(std::move(text));
        return true;
    }

    std::span<const std::uint8_t> body_;
    std::size_t tokenEnd_;
    int baseRow_;
    int baseColumn_;
    const TGetNameText& getNameText_;
    std::size_t pos_ = 0;    // token cursor
    std::size_t extra_ = 0;  // extra-data cursor
    std::vector<TextItem> stack_;
};

std::span<const std::uint8_t> TailFrom(std::span<const std::uint8_t> body, std::size_t offset) {
    return offset < body.size() ? body.subspan(offset) : std::span<const std::uint8_t>();
}

}  // namespace

WideString UnresolvedNameText(std::uint8_t, int, int) {
    return u"#NAME?";
}

WideString FormulaToText(std::span<const std::uint8_t> body, std::size_t tokenByteCount,
                         int baseRow, int baseColumn, const TGetNameText& getNameText) {
    return TokenDecoder(body, tokenByteCount, baseRow, baseColumn, getNameText).Run();
}

WideString FormulaRecordText(std::span<const std::uint8_t> formulaBody,
                             const TGetNameText& getNameText) {
    if (formulaBody.size() < kFormulaTokensOffset) return FormulaToText({}, 0, 0, 0, getNameText);
    return FormulaToText(TailFrom(formulaBody, kFormulaTokensOffset),
                         U16(formulaBody.data() + kFormulaTokenCountOffset),
                         U16(formulaBody.data() + kFormulaRowOffset),
                         U16(formulaBody.data() + kFormulaColumnOffset), getNameText);
}

WideString SharedFormulaRecordText(std::span<const std::uint8_t> sharedFormulaBody, int row,
                                   int column, const TGetNameText& getNameText) {
    if (sharedFormulaBody.size() < kSharedTokensOffset) {
        return FormulaToText({}, 0, row, column, getNameText);
    }
    return FormulaToText(TailFrom(sharedFormulaBody, kSharedTokensOffset),
                         U16(sharedFormulaBody.data() + kSharedTokenCountOffset), row, column,
                         getNameText);
}

}  // namespace plu
