#include "grid/variant.h"

namespace plu {

WideString VarTypeName(TKtVarType type) {
    switch (type) {
        case TKtVarType::varEmpty:
            return u"Empty";
        case TKtVarType::varNull:
            return u"Null";
        case TKtVarType::varSmallint:
            return u"Smallint";
        case TKtVarType::varInteger:
            return u"Integer";
        case TKtVarType::varSingle:
            return u"Single";
        case TKtVarType::varDouble:
            return u"Double";
        case TKtVarType::varCurrency:
            return u"Currency";
        case TKtVarType::varDate:
            return u"Date";
        case TKtVarType::varOleStr:
            return u"OleStr";
        case TKtVarType::varDispatch:
            return u"Dispatch";
        case TKtVarType::varError:
            return u"Error";
        case TKtVarType::varBoolean:
            return u"Boolean";
        case TKtVarType::varVariant:
            return u"Variant";
        case TKtVarType::varUnknown:
            return u"Unknown";
        case TKtVarType::varShortInt:
            return u"ShortInt";
        case TKtVarType::varByte:
            return u"Byte";
        case TKtVarType::varWord:
            return u"Word";
        case TKtVarType::varLongWord:
            return u"LongWord";
        case TKtVarType::varInt64:
            return u"Int64";
        case TKtVarType::varUInt64:
            return u"UInt64";
        case TKtVarType::varString:
            return u"String";
        case TKtVarType::varAny:
            return u"Any";
        case TKtVarType::varUString:
            return u"UnicodeString";
    }
    return u"$" + IntToWide(static_cast<int>(type));
}

}  // namespace plu
