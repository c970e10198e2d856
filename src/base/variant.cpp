// Construction, kinds and arrays of the Variant value.
#include "base/variant.h"

#include <cmath>
#include <limits>

namespace vl {

Variant::Variant(bool value)
    : FType(varBoolean)
    , FBool(value)
{}

Variant::Variant(int32_t value)
    : FType(varInteger)
    , FInt(value)
{}

Variant::Variant(int64_t value)
    : FType(varInt64)
    , FInt(value)
{}

Variant::Variant(double value)
    : FType(varDouble)
    , FFloat(value)
{}

Variant::Variant(String value)
    : FType(varUString)
    , FInt(0)
    , FShared(std::make_shared<const String>(std::move(value)))
{}

Variant::Variant(StringView value)
    : Variant(String(value))
{}

Variant Variant::Null()
{
    Variant v;
    v.FType = varNull;
    return v;
}

Variant Variant::FromInteger(TVarType type, int64_t value)
{
    Variant v;
    v.FType = type;
    switch (type) {
    case varShortInt:
        v.FInt = static_cast<int8_t>(value);
        break;
    case varByte:
        v.FInt = static_cast<uint8_t>(value);
        break;
    case varSmallint:
        v.FInt = static_cast<int16_t>(value);
        break;
    case varWord:
        v.FInt = static_cast<uint16_t>(value);
        break;
    case varInteger:
        v.FInt = static_cast<int32_t>(value);
        break;
    case varLongWord:
        v.FInt = static_cast<uint32_t>(value);
        break;
    case varInt64:
        v.FInt = value;
        break;
    default:
        Expects(false, "FromInteger needs an integer tag");
    }
    return v;
}

Variant Variant::FromSingle(float value)
{
    Variant v(static_cast<double>(value));
    v.FType = varSingle;
    return v;
}

Variant Variant::FromDate(double days)
{
    Variant v(days);
    v.FType = varDate;
    return v;
}

Variant Variant::FromCurrencyScaled(int64_t scaled)
{
    Variant v;
    v.FType = varCurrency;
    v.FInt = scaled;
    return v;
}

Variant Variant::FromCurrency(double value)
{
    const double scaled = std::nearbyint(value * CurrencyScale); // default rounding: half to even
    if (!(std::fabs(scaled) < 9.2e18)) throw EVariantError(u"Invalid variant operation");
    return FromCurrencyScaled(static_cast<int64_t>(scaled));
}

Variant Variant::FromObject(const void* object)
{
    if (!object) return Variant(int32_t(0));
    Variant v;
    v.FType = varObject;
    v.FObject = object;
    return v;
}

Variant Variant::Array(int64_t low, int64_t high, TVarType elementType)
{
    auto data = std::make_shared<VarArrayData>();
    data->LowBound = low;
    data->ElementType = elementType;
    if (high >= low) data->Items.resize(static_cast<size_t>(high - low + 1));
    Variant v;
    v.FType = varArray | elementType;
    v.FInt = 0;
    v.FShared = std::move(data);
    return v;
}

Variant Variant::ArrayOf(std::span<const Variant> items)
{
    auto data = std::make_shared<VarArrayData>();
    data->Items.assign(items.begin(), items.end());
    Variant v;
    v.FType = varArray | varVariant;
    v.FInt = 0;
    v.FShared = std::move(data);
    return v;
}

bool Variant::IsString() const
{
    return FType == varUString || FType == varOleStr || FType == varString;
}

bool Variant::IsInteger() const
{
    switch (FType) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
        return true;
    default:
        return false;
    }
}

bool Variant::IsFloat() const
{
    return FType == varDouble || FType == varSingle;
}

bool Variant::IsNumeric() const
{
    return IsInteger() || IsFloat() || FType == varCurrency || FType == varDate;
}

bool Variant::BoolValue() const
{
    Expects(FType == varBoolean, "Variant is not a Boolean");
    return FBool;
}

int64_t Variant::IntValue() const
{
    Expects(IsInteger(), "Variant is not an integer");
    return FInt;
}

double Variant::FloatValue() const
{
    Expects(IsFloat() || FType == varDate, "Variant is not a floating value");
    return FFloat;
}

int64_t Variant::CurrencyScaled() const
{
    Expects(FType == varCurrency, "Variant is not a Currency");
    return FInt;
}

const String& Variant::StringValue() const
{
    Expects(IsString(), "Variant is not a string");
    return *static_cast<const String*>(FShared.get());
}

const void* Variant::ObjectValue() const
{
    Expects(FType == varObject, "Variant is not an object");
    return FObject;
}

const VarArrayData& Variant::ArrayValue() const
{
    Expects(IsArray(), "Variant is not an array");
    return *static_cast<const VarArrayData*>(FShared.get());
}

VarArrayData& Variant::MutableArray()
{
    Expects(IsArray(), "Variant is not an array");
    if (FShared.use_count() > 1) FShared = std::make_shared<VarArrayData>(ArrayValue());
    // The buffer is owned by this value alone now; it was created non-const.
    return *const_cast<VarArrayData*>(static_cast<const VarArrayData*>(FShared.get()));
}

bool SameVariant(const Variant& a, const Variant& b)
{
    if (a.FType != b.FType) return false;
    if (a.IsString()) return a.StringValue() == b.StringValue();
    if (a.IsArray()) {
        const auto& x = a.ArrayValue();
        const auto& y = b.ArrayValue();
        if (x.LowBound != y.LowBound || x.Items.size() != y.Items.size()) return false;
        for (size_t i = 0; i < x.Items.size(); ++i)
            if (!SameVariant(x.Items[i], y.Items[i])) return false;
        return true;
    }
    switch (a.FType) {
    case varEmpty:
    case varNull:
        return true;
    case varBoolean:
        return a.FBool == b.FBool;
    case varSingle:
    case varDouble:
    case varDate:
        return a.FFloat == b.FFloat;
    case varObject:
        return a.FObject == b.FObject;
    default:
        return a.FInt == b.FInt;
    }
}

TVarType VarTypeForScript(const Variant& v)
{
    return v.IsObject() ? varInteger : v.Type();
}

String VarTypeName(TVarType type)
{
    if (type & varArray) return u"Array of " + VarTypeName(type & varTypeMask);
    switch (type) {
    case varEmpty:
        return u"Empty";
    case varNull:
        return u"Null";
    case varSmallint:
        return u"Smallint";
    case varInteger:
        return u"Integer";
    case varSingle:
        return u"Single";
    case varDouble:
        return u"Double";
    case varCurrency:
        return u"Currency";
    case varDate:
        return u"Date";
    case varOleStr:
        return u"OleStr";
    case varDispatch:
        return u"Dispatch";
    case varError:
        return u"Error";
    case varBoolean:
        return u"Boolean";
    case varVariant:
        return u"Variant";
    case varUnknown:
        return u"Unknown";
    case varShortInt:
        return u"ShortInt";
    case varByte:
        return u"Byte";
    case varWord:
        return u"Word";
    case varLongWord:
        return u"LongWord";
    case varInt64:
        return u"Int64";
    case varString:
        return u"String";
    case varUString:
        return u"UnicodeString";
    case varObject:
        return u"Object";
    default:
        return u"Unknown";
    }
}

Variant VarFromInt(int64_t value)
{
    if (value >= std::numeric_limits<int32_t>::min() &&
        value <= std::numeric_limits<int32_t>::max())
        return Variant(static_cast<int32_t>(value));
    return Variant(value);
}

} // namespace vl
