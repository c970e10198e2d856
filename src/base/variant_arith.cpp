// The one rule set of Variant arithmetic, logic and comparison (the rules are listed in
// variant.h). Every operator node, function and aggregate calls these.
#include "base/number_text.h"
#include "base/variant.h"

#include <cmath>
#include <limits>

namespace vl {

namespace {

[[noreturn]] void InvalidOperation()
{
    throw EVariantError(u"Invalid variant operation");
}

// A numeric operand after the string, Boolean and Empty rules have been applied.
enum class NumKind
{
    Int,
    Int64,
    Currency,
    Float,
    Date
};

struct Num
{
    NumKind Kind;
    int64_t I = 0; // Int, Int64, Currency (scaled)
    double D = 0;  // Float, Date
    double AsDouble() const
    {
        switch (Kind) {
        case NumKind::Float:
        case NumKind::Date:
            return D;
        case NumKind::Currency:
            return static_cast<double>(I) / CurrencyScale;
        default:
            return static_cast<double>(I);
        }
    }
};

bool IsIntegral(NumKind kind)
{
    return kind == NumKind::Int || kind == NumKind::Int64;
}

bool IsArrayOrObject(const Variant& v)
{
    return v.IsArray() || v.IsObject();
}

bool TryIntegerText(StringView text, int64_t& value)
{
    while (!text.empty() && text.back() <= u' ')
        text.remove_suffix(1);
    return TryStrToInt64(text, value);
}

Num ToNum(const Variant& v, const FormatSettings& fs)
{
    if (v.IsInteger()) return {v.Type() == varInt64 ? NumKind::Int64 : NumKind::Int, v.IntValue()};
    switch (v.Type()) {
    case varEmpty:
        return {NumKind::Int, 0};
    case varBoolean:
        return {NumKind::Int, v.BoolValue() ? -1 : 0};
    case varSingle:
    case varDouble:
        return {NumKind::Float, 0, v.FloatValue()};
    case varDate:
        return {NumKind::Date, 0, v.FloatValue()};
    case varCurrency:
        return {NumKind::Currency, v.CurrencyScaled()};
    default:
        break;
    }
    if (v.IsString()) {
        // Integer text stays an integer, so '1' + 2 is the integer 3.
        int64_t i;
        if (TryIntegerText(v.StringValue(), i))
            return {i >= std::numeric_limits<int32_t>::min() &&
                            i <= std::numeric_limits<int32_t>::max()
                        ? NumKind::Int
                        : NumKind::Int64,
                    i};
        return {NumKind::Float, 0, v.ToDouble(fs)};
    }
    InvalidOperation();
}

Variant IntResult(int64_t value, bool wide)
{
    return wide ? Variant(value) : VarFromInt(value);
}

int64_t ToScaled(const Num& n)
{
    return n.Kind == NumKind::Currency ? n.I : n.I * CurrencyScale;
}

// (a * b) / scale with halves to even, or nullopt-like failure through `ok`.
int64_t ScaledProduct(int64_t a, int64_t b, bool& ok)
{
    const __int128 p = static_cast<__int128>(a) * b;
    __int128 q = p / CurrencyScale;
    const __int128 r = p % CurrencyScale;
    if (r > CurrencyScale / 2 || (r == CurrencyScale / 2 && (q & 1)))
        ++q;
    else if (r < -CurrencyScale / 2 || (r == -CurrencyScale / 2 && (q & 1)))
        --q;
    ok = q >= std::numeric_limits<int64_t>::min() && q <= std::numeric_limits<int64_t>::max();
    return static_cast<int64_t>(q);
}

enum class ArithOp
{
    Add,
    Sub,
    Mul
};

Variant Arith(ArithOp op, const Variant& a, const Variant& b, const FormatSettings& fs)
{
    if (a.IsNull() || b.IsNull()) return Variant::Null();
    if (IsArrayOrObject(a) || IsArrayOrObject(b)) InvalidOperation();
    const Num x = ToNum(a, fs);
    const Num y = ToNum(b, fs);
    const bool anyDate = x.Kind == NumKind::Date || y.Kind == NumKind::Date;
    const bool anyFloat = x.Kind == NumKind::Float || y.Kind == NumKind::Float;
    const bool anyCurrency = x.Kind == NumKind::Currency || y.Kind == NumKind::Currency;

    if (anyDate || anyFloat) {
        const double dx = x.AsDouble(), dy = y.AsDouble();
        const double r = op == ArithOp::Add ? dx + dy : op == ArithOp::Sub ? dx - dy : dx * dy;
        const bool dateResult =
            (op == ArithOp::Add && anyDate) ||
            (op == ArithOp::Sub && x.Kind == NumKind::Date && y.Kind != NumKind::Date);
        return dateResult ? Variant::FromDate(r) : Variant(r);
    }
    if (anyCurrency) {
        int64_t r = 0;
        bool ok;
        if (op == ArithOp::Mul) {
            if (x.Kind == NumKind::Currency && y.Kind == NumKind::Currency)
                r = ScaledProduct(x.I, y.I, ok);
            else
                ok = !__builtin_mul_overflow(x.I, y.I, &r);
        } else {
            const int64_t sx = ToScaled(x), sy = ToScaled(y);
            ok = op == ArithOp::Add ? !__builtin_add_overflow(sx, sy, &r)
                                    : !__builtin_sub_overflow(sx, sy, &r);
            ok = ok && (x.Kind == NumKind::Currency || std::abs(x.I) < INT64_MAX / CurrencyScale) &&
                 (y.Kind == NumKind::Currency || std::abs(y.I) < INT64_MAX / CurrencyScale);
        }
        if (ok) return Variant::FromCurrencyScaled(r);
        const double dx = x.AsDouble(), dy = y.AsDouble();
        return Variant(op == ArithOp::Add ? dx + dy : op == ArithOp::Sub ? dx - dy : dx * dy);
    }
    int64_t r;
    const bool overflow = op == ArithOp::Add   ? __builtin_add_overflow(x.I, y.I, &r)
                          : op == ArithOp::Sub ? __builtin_sub_overflow(x.I, y.I, &r)
                                               : __builtin_mul_overflow(x.I, y.I, &r);
    if (overflow) {
        const double dx = x.AsDouble(), dy = y.AsDouble();
        return Variant(op == ArithOp::Add ? dx + dy : op == ArithOp::Sub ? dx - dy : dx * dy);
    }
    return IntResult(r, x.Kind == NumKind::Int64 || y.Kind == NumKind::Int64);
}

// Operands of the integer operators (div, mod, bitwise, shifts).
struct IntPair
{
    int64_t X, Y;
    bool Wide; // an operand was Int64
};

IntPair ToIntPair(const Variant& a, const Variant& b, const FormatSettings& fs)
{
    if (IsArrayOrObject(a) || IsArrayOrObject(b)) InvalidOperation();
    return {a.ToInt64(fs), b.ToInt64(fs), a.Type() == varInt64 || b.Type() == varInt64};
}

enum class BitOp
{
    And,
    Or,
    Xor
};

Variant Bitwise(BitOp op, const Variant& a, const Variant& b, const FormatSettings& fs)
{
    if (a.IsNull() || b.IsNull()) return Variant::Null();
    if (a.IsBoolean() && b.IsBoolean()) {
        const bool x = a.BoolValue(), y = b.BoolValue();
        return Variant(op == BitOp::And ? x && y : op == BitOp::Or ? x || y : x != y);
    }
    const IntPair p = ToIntPair(a, b, fs);
    const int64_t r = op == BitOp::And ? p.X & p.Y : op == BitOp::Or ? p.X | p.Y : p.X ^ p.Y;
    return IntResult(r, p.Wide);
}

int CompareText(const String& a, const String& b)
{
    const int c = a.compare(b);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

VarRelation FromSign(int sign)
{
    return sign < 0 ? VarRelation::Less : sign > 0 ? VarRelation::Greater : VarRelation::Equal;
}

template <typename T>
VarRelation Order(T x, T y)
{
    return x < y ? VarRelation::Less : y < x ? VarRelation::Greater : VarRelation::Equal;
}

} // namespace

Variant VarAdd(const Variant& a, const Variant& b, const FormatSettings& fs)
{
    if (a.IsString() && (b.IsString() || b.IsEmpty()))
        return Variant(a.StringValue() + (b.IsEmpty() ? String() : b.StringValue()));
    if (a.IsEmpty() && b.IsString()) return b;
    return Arith(ArithOp::Add, a, b, fs);
}

Variant VarSub(const Variant& a, const Variant& b, const FormatSettings& fs)
{
    return Arith(ArithOp::Sub, a, b, fs);
}

Variant VarMul(const Variant& a, const Variant& b, const FormatSettings& fs)
{
    return Arith(ArithOp::Mul, a, b, fs);
}

Variant VarDivFloat(const Variant& a, const Variant& b, const FormatSettings& fs)
{
    if (a.IsNull() || b.IsNull()) return Variant::Null();
    if (IsArrayOrObject(a) || IsArrayOrObject(b)) InvalidOperation();
    const double y = ToNum(b, fs).AsDouble();
    const double x = ToNum(a, fs).AsDouble();
    // 0/0 is reported as a division by zero too, so that the report's IgnoreDevByZero switch
    // covers the common average over no rows.
    if (y == 0) throw EZeroDivide(u"Floating point division by zero");
    return Variant(x / y);
}

Variant VarDivInt(const Variant& a, const Variant& b, const FormatSettings& fs)
{
    if (a.IsNull() || b.IsNull()) return Variant::Null();
    const IntPair p = ToIntPair(a, b, fs);
    if (p.Y == 0) throw EDivByZero(u"Division by zero");
    if (p.X == std::numeric_limits<int64_t>::min() && p.Y == -1)
        return Variant(-static_cast<double>(p.X));
    return IntResult(p.X / p.Y, p.Wide);
}

Variant VarMod(const Variant& a, const Variant& b, const FormatSettings& fs)
{
    if (a.IsNull() || b.IsNull()) return Variant::Null();
    const IntPair p = ToIntPair(a, b, fs);
    if (p.Y == 0) throw EDivByZero(u"Division by zero");
    if (p.Y == -1) return IntResult(0, p.Wide);
    return IntResult(p.X % p.Y, p.Wide);
}

Variant VarAnd(const Variant& a, const Variant& b, const FormatSettings& fs)
{
    return Bitwise(BitOp::And, a, b, fs);
}

Variant VarOr(const Variant& a, const Variant& b, const FormatSettings& fs)
{
    return Bitwise(BitOp::Or, a, b, fs);
}

Variant VarXor(const Variant& a, const Variant& b, const FormatSettings& fs)
{
    return Bitwise(BitOp::Xor, a, b, fs);
}

Variant VarShl(const Variant& a, const Variant& b, const FormatSettings& fs)
{
    if (a.IsNull() || b.IsNull()) return Variant::Null();
    const IntPair p = ToIntPair(a, b, fs);
    if (a.Type() == varInt64)
        return Variant(static_cast<int64_t>(static_cast<uint64_t>(p.X) << (p.Y & 63)));
    return Variant(static_cast<int32_t>(static_cast<uint32_t>(p.X) << (p.Y & 31)));
}

Variant VarShr(const Variant& a, const Variant& b, const FormatSettings& fs)
{
    if (a.IsNull() || b.IsNull()) return Variant::Null();
    const IntPair p = ToIntPair(a, b, fs);
    if (a.Type() == varInt64)
        return Variant(static_cast<int64_t>(static_cast<uint64_t>(p.X) >> (p.Y & 63)));
    return VarFromInt(static_cast<uint32_t>(p.X) >> (p.Y & 31));
}

Variant VarNot(const Variant& a, const FormatSettings& fs)
{
    if (a.IsNull()) return Variant::Null();
    if (a.IsBoolean()) return Variant(!a.BoolValue());
    if (IsArrayOrObject(a)) InvalidOperation();
    return IntResult(~a.ToInt64(fs), a.Type() == varInt64);
}

Variant VarNeg(const Variant& a, const FormatSettings& fs)
{
    if (a.IsNull()) return Variant::Null();
    if (IsArrayOrObject(a)) InvalidOperation();
    const Num x = ToNum(a, fs);
    switch (x.Kind) {
    case NumKind::Float:
        return Variant(-x.D);
    case NumKind::Date:
        return Variant::FromDate(-x.D);
    case NumKind::Currency:
        if (x.I == std::numeric_limits<int64_t>::min()) return Variant(-x.AsDouble());
        return Variant::FromCurrencyScaled(-x.I);
    default:
        if (x.I == std::numeric_limits<int64_t>::min()) return Variant(-x.AsDouble());
        return IntResult(-x.I, x.Kind == NumKind::Int64);
    }
}

Variant VarStrCat(const Variant& a, const Variant& b, const FormatSettings& fs)
{
    if (a.IsString()) return Variant(a.StringValue() + b.ToText(fs));
    return VarAdd(a, b, fs);
}

VarRelation VarCompare(const Variant& a, const Variant& b, const FormatSettings& fs)
{
    if (a.IsNull() || b.IsNull())
        return a.IsNull() && b.IsNull() ? VarRelation::Equal
               : a.IsNull()             ? VarRelation::Less
                                        : VarRelation::Greater;
    if (IsArrayOrObject(a) || IsArrayOrObject(b)) InvalidOperation();
    const bool sa = a.IsString() || a.IsEmpty();
    const bool sb = b.IsString() || b.IsEmpty();
    if (sa && sb) {
        static const String empty;
        return FromSign(CompareText(a.IsEmpty() ? empty : a.StringValue(),
                                    b.IsEmpty() ? empty : b.StringValue()));
    }
    if (a.IsString() && b.IsBoolean()) return Order(a.ToBool(fs) ? -1 : 0, b.BoolValue() ? -1 : 0);
    if (a.IsBoolean() && b.IsString()) return Order(a.BoolValue() ? -1 : 0, b.ToBool(fs) ? -1 : 0);
    const Num x = ToNum(a, fs);
    const Num y = ToNum(b, fs);
    if (IsIntegral(x.Kind) && IsIntegral(y.Kind)) return Order(x.I, y.I);
    if (x.Kind == NumKind::Currency && y.Kind == NumKind::Currency) return Order(x.I, y.I);
    return Order(x.AsDouble(), y.AsDouble());
}

bool VarEquals(const Variant& a, const Variant& b, const FormatSettings& fs)
{
    if (a.IsArray() || b.IsArray()) {
        if (!a.IsArray() || !b.IsArray()) return false;
        const auto& x = a.ArrayValue();
        const auto& y = b.ArrayValue();
        if (x.LowBound != y.LowBound || x.Items.size() != y.Items.size()) return false;
        for (size_t i = 0; i < x.Items.size(); ++i)
            if (!VarEquals(x.Items[i], y.Items[i], fs)) return false;
        return true;
    }
    if (a.IsObject() || b.IsObject())
        return a.IsObject() && b.IsObject() && a.ObjectValue() == b.ObjectValue();
    return VarCompare(a, b, fs) == VarRelation::Equal;
}

} // namespace vl
