// The dynamically typed value that flows between tables, expressions, variables, text views and
// aggregates. Its tag codes are visible to scripts and keep their fixed numbers.
//
// Contract:
// - A Variant is a small value (32 bytes). Text is held in a shared immutable buffer, so copying a
//   string value never copies its characters; arrays are shared as well and copied on the first
//   write through a copy that still shares them (value semantics, like every other kind).
// - Every conversion to user-visible text or from it takes a FormatSettings (decimal separator,
//   date and time pictures); the default is the process's settings.
// - All arithmetic and comparison rules live in variant_arith.cpp, one rule set used by every
//   operator node, function and aggregate. The rules the system leaves open are fixed there and
//   listed above VarAdd below.
// - Object references (report objects, datasets) are a kind of their own that scripts see as
//   varInteger: they compare by identity and never dereference anything here.
#pragma once

#include "base/exception.h"
#include "base/format_settings.h"
#include "base/string.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace vl {

// Tag codes (the numbers are part of the script language).
using TVarType = uint16_t;
inline constexpr TVarType varEmpty = 0;
inline constexpr TVarType varNull = 1;
inline constexpr TVarType varSmallint = 2;
inline constexpr TVarType varInteger = 3;
inline constexpr TVarType varSingle = 4;
inline constexpr TVarType varDouble = 5;
inline constexpr TVarType varCurrency = 6;
inline constexpr TVarType varDate = 7;
inline constexpr TVarType varOleStr = 8;
inline constexpr TVarType varDispatch = 9;
inline constexpr TVarType varError = 10;
inline constexpr TVarType varBoolean = 11;
inline constexpr TVarType varVariant = 12;
inline constexpr TVarType varUnknown = 13;
inline constexpr TVarType varShortInt = 16;
inline constexpr TVarType varByte = 17;
inline constexpr TVarType varWord = 18;
inline constexpr TVarType varLongWord = 19;
inline constexpr TVarType varInt64 = 20;
inline constexpr TVarType varStrArg = 72;
inline constexpr TVarType varString = 256;
inline constexpr TVarType varAny = 257;
inline constexpr TVarType varUString = 258; // the engine's own Unicode strings
inline constexpr TVarType varTypeMask = 4095;
inline constexpr TVarType varArray = 8192;
inline constexpr TVarType varByRef = 16384;
// Internal kind of object references; scripts see it as varInteger (see VarTypeForScript).
inline constexpr TVarType varObject = 0x0FFF - 1;

// Days between 1899-12-30 (day 0 of a Date value) and 1970-01-01.
inline constexpr double UnixDateDelta = 25569;
// Currency values are 64-bit integers scaled by this factor.
inline constexpr int64_t CurrencyScale = 10000;

// Variant failures, named as scripts see them in ExceptionClassName.
class EVariantError : public Exception
{
public:
    using Exception::Exception;
    const char* ClassName() const override { return "EVariantError"; }
};

// A value that has no form of the requested kind.
class EVariantTypeCastError : public EConvertError
{
public:
    using EConvertError::EConvertError;
    const char* ClassName() const override { return "EVariantTypeCastError"; }
};

// "/" with a zero divisor ("Floating point division by zero").
class EZeroDivide : public Exception
{
public:
    using Exception::Exception;
    const char* ClassName() const override { return "EZeroDivide"; }
};

// div or mod with a zero divisor ("Division by zero").
class EDivByZero : public Exception
{
public:
    using Exception::Exception;
    const char* ClassName() const override { return "EDivByZero"; }
};

class Variant;

// Elements of a one-dimensional variant array with its bounds.
struct VarArrayData
{
    int64_t LowBound = 0;
    TVarType ElementType = varVariant;
    std::vector<Variant> Items; // Items[i] is index LowBound + i
};

class Variant
{
public:
    Variant() = default; // Empty
    Variant(bool value);
    Variant(int32_t value);
    Variant(int64_t value); // varInt64 whatever the magnitude (see VarFromInt for the fitting tag)
    Variant(double value);
    Variant(String value);
    Variant(StringView value);
    Variant(const char16_t* value)
        : Variant(StringView(value))
    {}
    Variant(const char*) = delete; // would silently become a Boolean
    Variant(const void*) = delete; // objects go through FromObject

    static Variant Null();
    // A value of the given integer tag (varSmallint .. varInt64, varByte ...); the value is cut to
    // the tag's width the way the tag's storage would cut it.
    static Variant FromInteger(TVarType type, int64_t value);
    static Variant FromSingle(float value);
    static Variant FromDate(double days); // days since 1899-12-30, fraction = time of day
    static Variant FromCurrencyScaled(int64_t scaled); // value * 10000
    static Variant FromCurrency(double value);         // rounded to 4 decimals, halves to even
    static Variant FromObject(const void* object);     // nullptr gives the integer 0 (nil)
    // An array with bounds low..high (empty when high < low) of Empty elements.
    static Variant Array(int64_t low, int64_t high, TVarType elementType = varVariant);
    static Variant ArrayOf(std::span<const Variant> items); // bounds 0..n-1

    // The raw tag (varObject included; arrays carry varArray | element type).
    TVarType Type() const { return FType; }
    bool IsEmpty() const { return FType == varEmpty; }
    bool IsNull() const { return FType == varNull; }
    bool IsString() const;  // varOleStr, varString, varUString
    bool IsInteger() const; // every integer tag (not Boolean, not objects)
    bool IsFloat() const;   // varSingle, varDouble
    bool IsNumeric() const; // integers, floats, Currency, Date
    bool IsBoolean() const { return FType == varBoolean; }
    bool IsArray() const { return (FType & varArray) != 0; }
    bool IsObject() const { return FType == varObject; }
    bool IsDate() const { return FType == varDate; }
    bool IsCurrency() const { return FType == varCurrency; }

    // Direct access, valid only for the matching kind (checked; EInternalError otherwise).
    bool BoolValue() const;
    int64_t IntValue() const;          // any integer tag
    double FloatValue() const;         // Single, Double, Date
    int64_t CurrencyScaled() const;    // Currency
    const String& StringValue() const; // any string tag
    const void* ObjectValue() const;
    const VarArrayData& ArrayValue() const;
    VarArrayData& MutableArray(); // unshares the elements first

    // Conversions with the system's rules. They throw EVariantTypeCastError when the value has
    // no such form ("Could not convert variant of type (Null) into type (Double)").
    String ToText(const FormatSettings& fs = DefaultFormatSettings()) const;
    double ToDouble(const FormatSettings& fs = DefaultFormatSettings()) const;
    int64_t
    ToInt64(const FormatSettings& fs = DefaultFormatSettings()) const; // floats round half-even
    int32_t ToInt32(const FormatSettings& fs = DefaultFormatSettings()) const; // range-checked
    bool ToBool(const FormatSettings& fs = DefaultFormatSettings()) const;

    // Structural identity (same kind and same value); the script's "=" is VarCompare.
    friend bool SameVariant(const Variant& a, const Variant& b);

private:
    TVarType FType = varEmpty;
    union {
        bool FBool;
        int64_t FInt; // integer tags, Currency (scaled)
        double FFloat;
        const void* FObject;
    };
    std::shared_ptr<const void> FShared; // const String for strings, VarArrayData for arrays
};

// The tag a script's VarType() reports: varObject reads as varInteger.
TVarType VarTypeForScript(const Variant& v);

// The name of a tag for messages ("Integer", "UnicodeString", "Array of Variant").
String VarTypeName(TVarType type);

// Smallest fitting integer value: varInteger in 32 bits, otherwise varInt64.
Variant VarFromInt(int64_t value);

// Decimal text to a floating value with the given separator; "." is accepted as well, exponent
// and leading/trailing blanks allowed. False for anything else.
bool TryTextToFloat(StringView text, double& value, const FormatSettings& fs);

// Date value -> text: the short date, then a blank and the long time when the time is not zero.
String DateToText(double days, const FormatSettings& fs);
// Formats with the simple date pictures used by the locale settings (d dd m mm yy yyyy h hh n nn
// s ss z zzz, quoted text, "/" and ":" as the locale's separators).
String FormatDatePicture(StringView picture, double days, const FormatSettings& fs);

// ---- Arithmetic and comparison: the one rule set ----
//
// Kinds: Null, Empty, Boolean, integer (all integer tags; Int64 marks "64-bit"), Currency, float
// (Single, Double), Date, String, array, object.
// - Null in an operand gives Null (also for not and unary minus); comparisons are VarCompare's.
// - Empty is 0 next to a number and "" next to a string.
// - Boolean is -1/0 in arithmetic; and/or/xor/not of two Booleans are logical, otherwise bitwise.
// - A string next to a number is converted to a number (EConvertError when not numeric); two
//   strings under + are joined; under - * / div mod both are converted.
// - Integers give varInteger while the result fits in 32 bits, varInt64 when an operand is Int64
//   or the result needs 64 bits, and Double when even 64 bits overflow.
// - Any float operand gives Double. Currency with integers or Currency stays Currency (a product
//   or quotient of two Currency values rounds half to even at 4 decimals); with a float, Double.
// - Date + number and Date - number give Date; Date - Date gives Double (days); every other
//   operator treats a Date as its Double.
// - "/" always gives Double; a zero divisor raises EZeroDivide "Floating point division by zero".
//   div and mod convert to integers (floats round half-even) and raise "Division by zero".
// - shl/shr: 32-bit unless the left operand is Int64; the count is taken modulo the width.
// - Arrays and objects take part in = and <> only; elsewhere "Invalid variant operation".
Variant
VarAdd(const Variant& a, const Variant& b, const FormatSettings& fs = DefaultFormatSettings());
Variant
VarSub(const Variant& a, const Variant& b, const FormatSettings& fs = DefaultFormatSettings());
Variant
VarMul(const Variant& a, const Variant& b, const FormatSettings& fs = DefaultFormatSettings());
Variant
VarDivFloat(const Variant& a, const Variant& b, const FormatSettings& fs = DefaultFormatSettings());
Variant
VarDivInt(const Variant& a, const Variant& b, const FormatSettings& fs = DefaultFormatSettings());
Variant
VarMod(const Variant& a, const Variant& b, const FormatSettings& fs = DefaultFormatSettings());
Variant
VarAnd(const Variant& a, const Variant& b, const FormatSettings& fs = DefaultFormatSettings());
Variant
VarOr(const Variant& a, const Variant& b, const FormatSettings& fs = DefaultFormatSettings());
Variant
VarXor(const Variant& a, const Variant& b, const FormatSettings& fs = DefaultFormatSettings());
Variant
VarShl(const Variant& a, const Variant& b, const FormatSettings& fs = DefaultFormatSettings());
Variant
VarShr(const Variant& a, const Variant& b, const FormatSettings& fs = DefaultFormatSettings());
Variant VarNot(const Variant& a, const FormatSettings& fs = DefaultFormatSettings());
Variant VarNeg(const Variant& a, const FormatSettings& fs = DefaultFormatSettings());
// Concatenation: when a is a string, the text forms of both joined; otherwise VarAdd.
Variant
VarStrCat(const Variant& a, const Variant& b, const FormatSettings& fs = DefaultFormatSettings());

// Comparison. Numbers (and Dates, Booleans as -1/0, Empty as 0) compare numerically; strings
// compare by UTF-16 code unit (case significant); a string against a number compares as numbers
// (EConvertError when the text is not numeric); a string against a Boolean reads the text as a
// Boolean. Null equals only Null and is below every other value. Arrays are equal when bounds and
// elements are; objects by identity. Ordering of arrays or objects raises "Invalid variant
// operation".
enum class VarRelation
{
    Less,
    Equal,
    Greater
};
VarRelation
VarCompare(const Variant& a, const Variant& b, const FormatSettings& fs = DefaultFormatSettings());
bool VarEquals(const Variant& a,
               const Variant& b,
               const FormatSettings& fs = DefaultFormatSettings());

} // namespace vl
