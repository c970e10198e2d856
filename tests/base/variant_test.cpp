#include "base/variant.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace vl {

namespace {

const FormatSettings& En()
{
    static const FormatSettings fs = FormatSettings::English();
    return fs;
}

FormatSettings Comma()
{
    auto fs = FormatSettings::English();
    fs.DecimalSeparator = u',';
    fs.ThousandSeparator = u'.';
    fs.ShortDateFormat = u"dd.mm.yyyy";
    return fs;
}

// "Kind:text" so one string shows both the tag and the value in a failure.
std::string Show(const Variant& v)
{
    return ToUtf8(VarTypeName(v.Type())) + ":" + ToUtf8(v.ToText(En()));
}

} // namespace

TEST(Variant, TagCodesKeepTheirNumbers)
{
    static_assert(varEmpty == 0 && varNull == 1 && varSmallint == 2 && varInteger == 3);
    static_assert(varSingle == 4 && varDouble == 5 && varCurrency == 6 && varDate == 7);
    static_assert(varOleStr == 8 && varDispatch == 9 && varError == 10 && varBoolean == 11);
    static_assert(varVariant == 12 && varUnknown == 13 && varShortInt == 16 && varByte == 17);
    static_assert(varWord == 18 && varLongWord == 19 && varInt64 == 20 && varStrArg == 72);
    static_assert(varString == 256 && varAny == 257 && varUString == 258);
    static_assert(varTypeMask == 4095 && varArray == 8192 && varByRef == 16384);
    EXPECT_EQ(Variant(u"x").Type(), varUString);
    EXPECT_EQ(Variant(int32_t(1)).Type(), varInteger);
    EXPECT_EQ(Variant(int64_t(1)).Type(), varInt64);
    EXPECT_EQ(Variant::Array(0, 2).Type(), varArray | varVariant);
    EXPECT_EQ(VarTypeForScript(Variant::FromObject(&En())), varInteger);
}

TEST(Variant, CopiesShareTheTextBuffer)
{
    const Variant a(String(1000, u'x'));
    const Variant b = a; // NOLINT(performance-unnecessary-copy-initialization)
    EXPECT_EQ(&a.StringValue(), &b.StringValue());
}

TEST(Variant, ArrayCopiesAreIndependentAfterAWrite)
{
    Variant a = Variant::Array(1, 3);
    a.MutableArray().Items[0] = Variant(int32_t(7));
    Variant b = a;
    b.MutableArray().Items[0] = Variant(u"changed");
    EXPECT_EQ(Show(a.ArrayValue().Items[0]), "Integer:7");
    EXPECT_EQ(Show(b.ArrayValue().Items[0]), "UnicodeString:changed");
    EXPECT_EQ(a.ArrayValue().LowBound, 1);
    EXPECT_EQ(Variant::Array(0, -1).ArrayValue().Items.size(), 0u);
}

TEST(Variant, ToText)
{
    const struct
    {
        Variant Value;
        const char* Expected;
    } cases[] = {
        {Variant(), ""},
        {Variant::Null(), ""},
        {Variant(true), "True"},
        {Variant(false), "False"},
        {Variant(int32_t(-42)), "-42"},
        {Variant(int64_t(9000000000)), "9000000000"},
        {Variant::FromInteger(varByte, 300), "44"},
        {Variant(2.5), "2.5"},
        {Variant(1.0 / 3), "0.333333333333333"},
        {Variant::FromSingle(0.5f), "0.5"},
        {Variant::FromCurrencyScaled(12345000), "1234.5"},
        {Variant::FromCurrencyScaled(-5), "-0.0005"},
        {Variant::FromCurrencyScaled(20000), "2"},
        {Variant::FromDate(45298), "2024-01-07"},
        {Variant::FromDate(45298.5729166667), "2024-01-07 13:45:00"},
        {Variant::FromDate(0), "1899-12-30"},
        {Variant(u"text"), "text"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Expected);
        EXPECT_EQ(ToUtf8(c.Value.ToText(En())), c.Expected);
    }
}

TEST(Variant, TextUsesTheLocaleSettings)
{
    const auto fs = Comma();
    EXPECT_EQ(ToUtf8(Variant(2.5).ToText(fs)), "2,5");
    EXPECT_EQ(ToUtf8(Variant::FromCurrencyScaled(15000).ToText(fs)), "1,5");
    EXPECT_EQ(ToUtf8(Variant::FromDate(45298).ToText(fs)), "07.01.2024");
    EXPECT_DOUBLE_EQ(Variant(u"2,25").ToDouble(fs), 2.25);
    EXPECT_DOUBLE_EQ(Variant(u"2.25").ToDouble(fs), 2.25);
}

TEST(Variant, ToNumberAndBoolean)
{
    EXPECT_EQ(Variant(true).ToInt64(En()), -1);
    EXPECT_EQ(Variant(false).ToInt64(En()), 0);
    EXPECT_EQ(Variant().ToInt64(En()), 0);
    EXPECT_EQ(Variant(u" 12").ToInt64(En()), 12);
    EXPECT_EQ(Variant(u"$FF").ToInt64(En()), 255);
    EXPECT_EQ(Variant(2.5).ToInt64(En()), 2); // halves to even
    EXPECT_EQ(Variant(3.5).ToInt64(En()), 4);
    EXPECT_EQ(Variant::FromCurrencyScaled(25000).ToInt64(En()), 2);
    EXPECT_DOUBLE_EQ(Variant(u"1.5e3").ToDouble(En()), 1500);
    EXPECT_TRUE(Variant(u"TRUE").ToBool(En()));
    EXPECT_FALSE(Variant(u"false").ToBool(En()));
    EXPECT_TRUE(Variant(u"2").ToBool(En()));
    EXPECT_FALSE(Variant(int32_t(0)).ToBool(En()));
    EXPECT_TRUE(Variant(0.1).ToBool(En()));
}

TEST(Variant, FailedConversionsSayWhatAndWhere)
{
    const struct
    {
        std::function<void()> Convert;
        const char* Message;
    } cases[] = {
        {[] { (void)Variant::Null().ToDouble(En()); },
         "Could not convert variant of type (Null) into type (Double)"},
        {[] { (void)Variant::Null().ToInt64(En()); },
         "Could not convert variant of type (Null) into type (Int64)"},
        {[] { (void)Variant(u"abc").ToDouble(En()); },
         "Could not convert variant of type (UnicodeString) into type (Double)"},
        {[] { (void)Variant(u"yes").ToBool(En()); },
         "Could not convert variant of type (UnicodeString) into type (Boolean)"},
        {[] { (void)Variant(1e300).ToInt64(En()); },
         "Could not convert variant of type (Double) into type (Int64)"},
        {[] { (void)Variant(int64_t(1) << 40).ToInt32(En()); },
         "Could not convert variant of type (Int64) into type (Integer)"},
        {[] { (void)Variant(u"1e999").ToDouble(En()); },
         "Could not convert variant of type (UnicodeString) into type (Double)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Message);
        try {
            c.Convert();
            ADD_FAILURE() << "no error";
        } catch (const EVariantTypeCastError& e) {
            EXPECT_EQ(ToUtf8(e.Message()), c.Message);
        }
    }
}

TEST(Variant, ArithmeticRules)
{
    using Op = Variant (*)(const Variant&, const Variant&, const FormatSettings&);
    const Variant i2(int32_t(2)), i3(int32_t(3)), big(int32_t(2147483647));
    const struct
    {
        const char* Name;
        Op Fn;
        Variant A, B;
        const char* Expected;
    } cases[] = {
        {"int+int", VarAdd, i2, i3, "Integer:5"},
        {"int overflow widens", VarAdd, big, Variant(int32_t(1)), "Int64:2147483648"},
        {"int64 stays int64", VarAdd, Variant(int64_t(1)), i2, "Int64:3"},
        {"int64 overflow to double",
         VarMul,
         Variant(int64_t(1) << 62),
         Variant(int32_t(4)),
         "Double:1.84467440737096E19"},
        {"float", VarAdd, Variant(0.5), i2, "Double:2.5"},
        {"string+string joins", VarAdd, Variant(u"a"), Variant(u"b"), "UnicodeString:ab"},
        {"numeric text + int", VarAdd, Variant(u"1"), i2, "Integer:3"},
        {"float text + int", VarAdd, Variant(u"1.5"), i2, "Double:3.5"},
        {"empty + string", VarAdd, Variant(), Variant(u"b"), "UnicodeString:b"},
        {"empty + int", VarAdd, Variant(), i2, "Integer:2"},
        {"null + int", VarAdd, Variant::Null(), i2, "Null:"},
        {"bool + int", VarAdd, Variant(true), i2, "Integer:1"},
        {"currency + int", VarAdd, Variant::FromCurrencyScaled(15000), i2, "Currency:3.5"},
        {"currency * currency rounds half even",
         VarMul,
         Variant::FromCurrencyScaled(5),    // 0.0005
         Variant::FromCurrencyScaled(5000), // 0.5
         "Currency:0.0002"},
        {"currency + float",
         VarAdd,
         Variant::FromCurrencyScaled(10000),
         Variant(0.5),
         "Double:1.5"},
        {"date + days", VarAdd, Variant::FromDate(45298), i2, "Date:2024-01-09"},
        {"date - days", VarSub, Variant::FromDate(45298), Variant(0.5), "Date:2024-01-06 12:00:00"},
        {"date - date", VarSub, Variant::FromDate(45298), Variant::FromDate(45290), "Double:8"},
        {"10-4", VarSub, Variant(int32_t(10)), Variant(int32_t(4)), "Integer:6"},
        {"7/2", VarDivFloat, Variant(int32_t(7)), i2, "Double:3.5"},
        {"6/2 still float", VarDivFloat, Variant(int32_t(6)), i2, "Double:3"},
        {"7 div 2", VarDivInt, Variant(int32_t(7)), i2, "Integer:3"},
        {"-7 div 2 truncates", VarDivInt, Variant(int32_t(-7)), i2, "Integer:-3"},
        {"7 mod 2", VarMod, Variant(int32_t(7)), i2, "Integer:1"},
        {"-7 mod 2", VarMod, Variant(int32_t(-7)), i2, "Integer:-1"},
        {"bool and", VarAnd, Variant(true), Variant(false), "Boolean:False"},
        {"bool or", VarOr, Variant(true), Variant(false), "Boolean:True"},
        {"bool xor", VarXor, Variant(true), Variant(true), "Boolean:False"},
        {"int and", VarAnd, Variant(int32_t(12)), Variant(int32_t(10)), "Integer:8"},
        {"int or", VarOr, Variant(int32_t(12)), Variant(int32_t(10)), "Integer:14"},
        {"shl", VarShl, Variant(int32_t(1)), Variant(int32_t(4)), "Integer:16"},
        {"shl wraps 32 bits",
         VarShl,
         Variant(int32_t(1)),
         Variant(int32_t(31)),
         "Integer:-2147483648"},
        {"shr is logical", VarShr, Variant(int32_t(-1)), Variant(int32_t(28)), "Integer:15"},
        {"strcat with number", VarStrCat, Variant(u"n="), Variant(2.5), "UnicodeString:n=2.5"},
        {"strcat non-string left", VarStrCat, i2, i3, "Integer:5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Show(c.Fn(c.A, c.B, En())), c.Expected);
    }
}

TEST(Variant, UnaryRules)
{
    EXPECT_EQ(Show(VarNeg(Variant(int32_t(2)), En())), "Integer:-2");
    EXPECT_EQ(Show(VarNeg(Variant(int32_t(-2147483647 - 1)), En())), "Int64:2147483648");
    EXPECT_EQ(Show(VarNeg(Variant(u"3"), En())), "Integer:-3");
    EXPECT_EQ(Show(VarNeg(Variant::Null(), En())), "Null:");
    EXPECT_EQ(Show(VarNot(Variant(true), En())), "Boolean:False");
    EXPECT_EQ(Show(VarNot(Variant(int32_t(0)), En())), "Integer:-1");
    EXPECT_EQ(Show(VarNot(Variant::Null(), En())), "Null:");
}

TEST(Variant, ArithmeticErrors)
{
    const struct
    {
        const char* Name;
        std::function<void()> Run;
        const char* ClassName;
        const char* Message;
    } cases[] = {
        {"x/0",
         [] { VarDivFloat(Variant(int32_t(1)), Variant(int32_t(0)), En()); },
         "EZeroDivide",
         "Floating point division by zero"},
        {"0/0",
         [] { VarDivFloat(Variant(0.0), Variant(0.0), En()); },
         "EZeroDivide",
         "Floating point division by zero"},
        {"div 0",
         [] { VarDivInt(Variant(int32_t(1)), Variant(int32_t(0)), En()); },
         "EDivByZero",
         "Division by zero"},
        {"mod 0",
         [] { VarMod(Variant(int32_t(1)), Variant(int32_t(0)), En()); },
         "EDivByZero",
         "Division by zero"},
        {"text + number",
         [] { VarAdd(Variant(u"abc"), Variant(int32_t(2)), En()); },
         "EVariantTypeCastError",
         "Could not convert variant of type (UnicodeString) into type (Double)"},
        {"array + number",
         [] { VarAdd(Variant::Array(0, 1), Variant(int32_t(2)), En()); },
         "EVariantError",
         "Invalid variant operation"},
        {"array ordering",
         [] { VarCompare(Variant::Array(0, 1), Variant::Array(0, 1), En()); },
         "EVariantError",
         "Invalid variant operation"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        try {
            c.Run();
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_STREQ(e.ClassName(), c.ClassName);
            EXPECT_EQ(ToUtf8(e.Message()), c.Message);
        }
    }
    EXPECT_EQ(Show(VarDivInt(Variant(int64_t(INT64_MIN)), Variant(int32_t(-1)), En())),
              "Double:9.22337203685478E18");
}

TEST(Variant, ComparisonRules)
{
    const auto L = VarRelation::Less, E = VarRelation::Equal, G = VarRelation::Greater;
    const struct
    {
        const char* Name;
        Variant A, B;
        VarRelation Expected;
    } cases[] = {
        {"ints", Variant(int32_t(1)), Variant(int32_t(2)), L},
        {"int vs double", Variant(int32_t(2)), Variant(2.0), E},
        {"int64 precision",
         Variant(int64_t(9007199254740993)),
         Variant(int64_t(9007199254740992)),
         G},
        {"strings with case", Variant(u"a"), Variant(u"B"), G},
        {"strings equal", Variant(u"abc"), Variant(u"abc"), E},
        {"numeric text vs number", Variant(u"10"), Variant(int32_t(9)), G},
        {"null = null", Variant::Null(), Variant::Null(), E},
        {"null below number", Variant::Null(), Variant(int32_t(-100)), L},
        {"null below empty", Variant::Null(), Variant(), L},
        {"number above null", Variant(u""), Variant::Null(), G},
        {"empty vs empty string", Variant(), Variant(u""), E},
        {"empty vs zero", Variant(), Variant(int32_t(0)), E},
        {"bool vs bool", Variant(true), Variant(false), L}, // True is -1
        {"bool vs text", Variant(true), Variant(u"true"), E},
        {"dates", Variant::FromDate(1), Variant::FromDate(2), L},
        {"currency", Variant::FromCurrencyScaled(15000), Variant(1.5), E},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(static_cast<int>(VarCompare(c.A, c.B, En())), static_cast<int>(c.Expected));
    }
}

TEST(Variant, EqualityOfArraysAndObjects)
{
    const Variant items[] = {Variant(int32_t(1)), Variant(u"a")};
    EXPECT_TRUE(VarEquals(Variant::ArrayOf(items), Variant::ArrayOf(items), En()));
    EXPECT_FALSE(VarEquals(Variant::ArrayOf(items), Variant(int32_t(1)), En()));
    int x = 0, y = 0;
    EXPECT_TRUE(VarEquals(Variant::FromObject(&x), Variant::FromObject(&x), En()));
    EXPECT_FALSE(VarEquals(Variant::FromObject(&x), Variant::FromObject(&y), En()));
    EXPECT_FALSE(VarEquals(Variant::FromObject(&x), Variant(int32_t(0)), En()));
    EXPECT_EQ(Show(Variant::FromObject(nullptr)), "Integer:0");
}

} // namespace vl
