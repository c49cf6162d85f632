// A small variant: the value types a cell accepts through
// SetValueFromVariant and that cell property lists carry.
#pragma once

#include <cstdint>

#include "base/date_time.h"
#include "base/wide_text.h"

namespace plu {

// The variant types, with the runtime's type codes.
enum class TKtVarType : uint16_t {
    varEmpty = 0x0000,
    varNull = 0x0001,
    varSmallint = 0x0002,
    varInteger = 0x0003,
    varSingle = 0x0004,
    varDouble = 0x0005,
    varCurrency = 0x0006,
    varDate = 0x0007,
    varOleStr = 0x0008,
    varDispatch = 0x0009,
    varError = 0x000A,
    varBoolean = 0x000B,
    varVariant = 0x000C,
    varUnknown = 0x000D,
    varShortInt = 0x0010,
    varByte = 0x0011,
    varWord = 0x0012,
    varLongWord = 0x0013,
    varInt64 = 0x0014,
    varUInt64 = 0x0015,
    varString = 0x0100,
    varAny = 0x0101,
    varUString = 0x0102,
};

struct TKtVariant {
    TKtVarType Type = TKtVarType::varEmpty;
    int64_t Int = 0;   // the integer kinds and varBoolean (0 / 1)
    double Float = 0;  // varSingle, varDouble, varCurrency, varDate
    WideString Text;   // varOleStr, varString, varUString

    static TKtVariant Empty() { return {}; }
    static TKtVariant Null() {
        TKtVariant r;
        r.Type = TKtVarType::varNull;
        return r;
    }
    static TKtVariant Integer(int64_t v, TKtVarType t = TKtVarType::varInteger) {
        TKtVariant r;
        r.Type = t;
        r.Int = v;
        return r;
    }
    static TKtVariant Boolean(bool b) { return Integer(b ? 1 : 0, TKtVarType::varBoolean); }
    static TKtVariant Float64(double v, TKtVarType t = TKtVarType::varDouble) {
        TKtVariant r;
        r.Type = t;
        r.Float = v;
        return r;
    }
    static TKtVariant Date(TDateTime d) { return Float64(d, TKtVarType::varDate); }
    static TKtVariant String(WideStringView s, TKtVarType t = TKtVarType::varUString) {
        TKtVariant r;
        r.Type = t;
        r.Text = WideString(s);
        return r;
    }
};

// The runtime's name of a variant type ("Integer", "Error", "Dispatch" ...).
WideString VarTypeName(TKtVarType type);

}  // namespace plu
