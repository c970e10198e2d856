// Expression trees: building from the priority table, the type check and evaluation.
#include "script/expression.h"

#include "base/format.h"
#include "base/limits.h"
#include "platform/unicode/text_case.h"
#include "script/designator.h"

#include <array>

namespace vl {

namespace {

using K = TsbVarType;

struct OperatorWord
{
    StringView Text;
    TsbOperatorType Op;
};

constexpr std::array<OperatorWord, 23> OperatorWords = {{
    {u">", opGreat},         {u"<", opLess},        {u"<=", opLessEq},      {u">=", opGreatEq},
    {u"<>", opNonEq},        {u"=", opEq},          {u"+", opPlus},         {u"-", opMinus},
    {u"or", opOr},           {u"xor", opXor},       {u"*", opMul},          {u"/", opDivFloat},
    {u"div", opDivInt},      {u"mod", opMod},       {u"and", opAnd},        {u"shl", opShl},
    {u"shr", opShr},         {u"(", opLeftBracket}, {u")", opRightBracket}, {u"not", opNot},
    {u"unminus", opUnMinus}, {u"in", opIn},         {u"is", opIs},
}};

std::unique_ptr<TsbExpressionNode> MakeOperatorNode(TsbOperatorType op, size_t pos)
{
    switch (op) {
    case opGreat:
        return std::make_unique<TGreatNode>(pos);
    case opLess:
        return std::make_unique<TLessNode>(pos);
    case opLessEq:
        return std::make_unique<TLessEqNode>(pos);
    case opGreatEq:
        return std::make_unique<TGreatEqNode>(pos);
    case opNonEq:
        return std::make_unique<TNonEqNode>(pos);
    case opEq:
        return std::make_unique<TEqNode>(pos);
    case opPlus:
        return std::make_unique<TPlusNode>(pos);
    case opMinus:
        return std::make_unique<TMinusNode>(pos);
    case opOr:
        return std::make_unique<TOrNode>(pos);
    case opXor:
        return std::make_unique<TXorNode>(pos);
    case opMul:
        return std::make_unique<TMulNode>(pos);
    case opDivFloat:
        return std::make_unique<TDivFloatNode>(pos);
    case opDivInt:
        return std::make_unique<TDivIntNode>(pos);
    case opMod:
        return std::make_unique<TModNode>(pos);
    case opAnd:
        return std::make_unique<TAndNode>(pos);
    case opShl:
        return std::make_unique<TShlNode>(pos);
    case opShr:
        return std::make_unique<TShrNode>(pos);
    case opLeftBracket:
        return std::make_unique<TLeftBracketNode>(pos);
    case opRightBracket:
        return std::make_unique<TRightBracketNode>(pos);
    case opNot:
        return std::make_unique<TNotNode>(pos);
    case opUnMinus:
        return std::make_unique<TUnMinusNode>(pos);
    case opIn:
        return std::make_unique<TInNode>(pos);
    case opIs:
        return std::make_unique<TIsNode>(pos);
    default:
        return std::make_unique<TNoneNode>(pos);
    }
}

bool IsComparison(TsbOperatorType op)
{
    return op >= opGreat && op <= opEq;
}

TsbVarType KindOfValue(const Variant& v)
{
    switch (v.Type()) {
    case varBoolean:
        return K::vtBool;
    case varSingle:
    case varDouble:
    case varCurrency:
        return K::vtFloat;
    case varInt64:
        return K::vtInt64;
    default:
        return v.IsString() ? K::vtString : K::vtInt;
    }
}

bool ClassDescends(const TsbScript& scope, StringView cls, StringView ancestor)
{
    for (size_t guard = 0; guard < 64 && !cls.empty(); ++guard) {
        if (SameText(cls, ancestor)) return true;
        const TsbClassItem* item = scope.FindClass(cls);
        if (!item) return true; // classes the script does not know are not checked
        cls = item->ParentName();
    }
    return false;
}

const FormatSettings& Fs()
{
    return DefaultFormatSettings();
}

bool IsNumberKind(K kind)
{
    return kind == K::vtInt || kind == K::vtInt64 || kind == K::vtFloat;
}

// "+" of a text and a number: the text is read as a number at run time ('1' + 2 gives 3), as
// the Variant rules say; the table alone would refuse it, so it is allowed here on purpose.
bool MixedTextAndNumber(TsbOperatorType op, K l, K r)
{
    const bool lText = l == K::vtString || l == K::vtChar;
    const bool rText = r == K::vtString || r == K::vtChar;
    return op == opPlus && ((lText && IsNumberKind(r)) || (rText && IsNumberKind(l)));
}

// "in" against an array value: a member followed by Null and a further value is a range.
bool InArray(const Variant& value, const Variant& list)
{
    const auto& items = list.ArrayValue().Items;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i + 2 < items.size() && items[i + 1].IsNull()) {
            if (VarCompare(items[i], value, Fs()) != VarRelation::Greater &&
                VarCompare(value, items[i + 2], Fs()) != VarRelation::Greater)
                return true;
            i += 2;
        } else if (VarEquals(value, items[i], Fs())) {
            return true;
        }
    }
    return false;
}

} // namespace

TsbExpressionNode::TsbExpressionNode(TsbOperatorType op, size_t pos)
    : FOp(op)
    , FPos(pos)
{}

TsbExpressionNode::~TsbExpressionNode() = default;

int TsbExpressionNode::Priority() const
{
    switch (FOp) {
    case opOperand:
        return 0;
    case opNot:
    case opUnMinus:
        return 1;
    case opMul:
    case opDivFloat:
    case opDivInt:
    case opMod:
    case opAnd:
    case opShl:
    case opShr:
        return 2;
    case opPlus:
    case opMinus:
    case opOr:
    case opXor:
        return 3;
    case opRightBracket:
        return 5;
    case opLeftBracket:
        return 6;
    case opNone:
        return 7;
    default:
        return 4; // comparisons, in, is
    }
}

TsbOperandNode::TsbOperandNode(Variant value, size_t pos)
    : TsbExpressionNode(opOperand, pos)
    , FValue(std::move(value))
{
    FKind = KindOfValue(FValue);
}

TsbDesignatorNode::TsbDesignatorNode(std::unique_ptr<TsbDesignator> designator, size_t pos)
    : TsbExpressionNode(opOperand, pos)
    , FDesignator(std::move(designator))
{
    FKind = FDesignator->Kind();
    FTypeName = FDesignator->TypeName();
}

TsbDesignatorNode::~TsbDesignatorNode() = default;

Variant TsbDesignatorNode::Eval()
{
    return FDesignator->Value();
}

TsbSetNode::TsbSetNode(std::vector<Member> members, size_t pos)
    : TsbExpressionNode(opOperand, pos)
    , FMembers(std::move(members))
{
    FKind = K::vtVariant;
}

TsbSetNode::~TsbSetNode() = default;

Variant TsbSetNode::Eval()
{
    std::vector<Variant> items;
    for (auto& m : FMembers) {
        items.push_back(m.Low->Value());
        if (m.High) {
            items.push_back(Variant::Null());
            items.push_back(m.High->Value());
        }
    }
    return Variant::ArrayOf(items);
}

bool TsbSetNode::Contains(const Variant& value)
{
    for (auto& m : FMembers) {
        const Variant low = m.Low->Value();
        if (!m.High) {
            if (VarEquals(value, low, Fs())) return true;
        } else if (VarCompare(low, value, Fs()) != VarRelation::Greater &&
                   VarCompare(value, m.High->Value(), Fs()) != VarRelation::Greater) {
            return true;
        }
    }
    return false;
}

template <TsbOperatorType TOp>
Variant TOperatorNode<TOp>::Eval()
{
    if constexpr (TOp == opNot) {
        return VarNot(FLeft->Eval(), Fs());
    } else if constexpr (TOp == opUnMinus) {
        return VarNeg(FLeft->Eval(), Fs());
    } else if constexpr (TOp == opNone || TOp == opLeftBracket || TOp == opRightBracket) {
        return FLeft ? FLeft->Eval() : Variant();
    } else if constexpr (TOp == opIn) {
        const Variant value = FLeft->Eval();
        if (auto* set = dynamic_cast<TsbSetNode*>(FRight.get()))
            return Variant(set->Contains(value));
        const Variant list = FRight->Eval();
        if (list.IsArray()) return Variant(InArray(value, list));
        return Variant(VarEquals(value, list, Fs()));
    } else if constexpr (TOp == opIs) {
        const Variant value = FLeft->Eval();
        if (!value.IsObject() || !FScript) return Variant(false);
        auto* right = static_cast<TsbDesignatorNode*>(FRight.get());
        const TsbCustomVariable* cls = right->Designator().SingleItem();
        return Variant(cls && FScript->InstanceOf(value.ObjectValue(), cls->Name()));
    } else {
        Variant a = FLeft->Eval();
        if constexpr (TOp == opAnd || TOp == opOr) {
            if (FShortCircuit) {
                // Both sides are Boolean: the right one is evaluated only when it decides.
                if (a.IsBoolean() && a.BoolValue() == (TOp == opOr)) return a;
                if (a.IsBoolean()) return FRight->Eval();
            }
        }
        const Variant b = FRight->Eval();
        if constexpr (TOp == opPlus)
            return VarAdd(a, b, Fs());
        else if constexpr (TOp == opMinus)
            return VarSub(a, b, Fs());
        else if constexpr (TOp == opMul)
            return VarMul(a, b, Fs());
        else if constexpr (TOp == opDivFloat)
            return VarDivFloat(a, b, Fs());
        else if constexpr (TOp == opDivInt)
            return VarDivInt(a, b, Fs());
        else if constexpr (TOp == opMod)
            return VarMod(a, b, Fs());
        else if constexpr (TOp == opAnd)
            return VarAnd(a, b, Fs());
        else if constexpr (TOp == opOr)
            return VarOr(a, b, Fs());
        else if constexpr (TOp == opXor)
            return VarXor(a, b, Fs());
        else if constexpr (TOp == opShl)
            return VarShl(a, b, Fs());
        else if constexpr (TOp == opShr)
            return VarShr(a, b, Fs());
        else if constexpr (TOp == opEq)
            return Variant(VarEquals(a, b, Fs()));
        else if constexpr (TOp == opNonEq)
            return Variant(!VarEquals(a, b, Fs()));
        else if constexpr (TOp == opGreat)
            return Variant(VarCompare(a, b, Fs()) == VarRelation::Greater);
        else if constexpr (TOp == opLess)
            return Variant(VarCompare(a, b, Fs()) == VarRelation::Less);
        else if constexpr (TOp == opGreatEq)
            return Variant(VarCompare(a, b, Fs()) != VarRelation::Less);
        else
            return Variant(VarCompare(a, b, Fs()) != VarRelation::Greater);
    }
}

TsbExpression::TsbExpression(TsbScript& script)
    : FScript(script)
    , FRoot(std::make_unique<TNoneNode>(0))
    , FCurrent(FRoot.get())
{}

TsbExpression::~TsbExpression()
{
    // Taken apart without recursion: a refused tree may be far deeper than the stack allows.
    std::vector<std::unique_ptr<TsbExpressionNode>> pending;
    pending.push_back(std::move(FRoot));
    while (!pending.empty()) {
        std::unique_ptr<TsbExpressionNode> node = std::move(pending.back());
        pending.pop_back();
        if (!node) continue;
        pending.push_back(std::move(node->FLeft));
        pending.push_back(std::move(node->FRight));
    }
}

// Attaches a node as the next child of the current node and makes it current.
void TsbExpression::Attach(std::unique_ptr<TsbExpressionNode> node)
{
    TsbExpressionNode* raw = node.get();
    raw->FParent = FCurrent;
    if (!FCurrent->FLeft)
        FCurrent->FLeft = std::move(node);
    else if (!FCurrent->FRight)
        FCurrent->FRight = std::move(node);
    else
        throw TsbCompileError{u"Expression expected", raw->Pos()};
    FCurrent = raw;
}

void TsbExpression::AddConst(Variant value, size_t pos)
{
    Attach(std::make_unique<TsbOperandNode>(std::move(value), pos));
}

void TsbExpression::AddDesignator(std::unique_ptr<TsbDesignator> designator, size_t pos)
{
    Attach(std::make_unique<TsbDesignatorNode>(std::move(designator), pos));
}

void TsbExpression::AddSet(std::vector<TsbSetNode::Member> members, size_t pos)
{
    Attach(std::make_unique<TsbSetNode>(std::move(members), pos));
}

void TsbExpression::AddOperator(StringView text, size_t pos)
{
    const String lower = AsciiLowerCase(text);
    TsbOperatorType op = opNone;
    for (const auto& w : OperatorWords)
        if (w.Text == lower) op = w.Op;
    if (op == opNone) throw TsbCompileError{u"Expression expected", pos};

    if (op == opLeftBracket || op == opNot || op == opUnMinus) {
        Attach(MakeOperatorNode(op, pos));
        return;
    }
    if (op == opRightBracket) {
        TsbExpressionNode* reached = FCurrent;
        while (reached && 5 >= reached->Priority())
            reached = reached->FParent;
        if (!reached || reached->Op() != opLeftBracket) throw TsbCompileError{u"')' expected", pos};
        TsbExpressionNode* parent = reached->FParent;
        std::unique_ptr<TsbExpressionNode> inner = std::move(reached->FLeft);
        if (!inner) throw TsbCompileError{u"Expression expected", pos};
        inner->FParent = parent;
        TsbExpressionNode* innerRaw = inner.get();
        if (parent->FLeft.get() == reached)
            parent->FLeft = std::move(inner);
        else
            parent->FRight = std::move(inner);
        FCurrent = innerRaw;
        return;
    }
    auto node = MakeOperatorNode(op, pos);
    node->FScript = &FScript;
    const int priority = node->Priority();
    if (!FRoot->FLeft) throw TsbCompileError{u"Expression expected", pos};
    TsbExpressionNode* candidate = nullptr;
    TsbExpressionNode* reached = FCurrent;
    if (FCurrent->Op() != opLeftBracket) {
        candidate = FCurrent;
        reached = FCurrent->FParent;
    }
    while (reached && priority >= reached->Priority()) {
        candidate = reached;
        reached = reached->FParent;
    }
    if (!candidate || !reached) throw TsbCompileError{u"Expression expected", pos};
    std::unique_ptr<TsbExpressionNode>& slot =
        reached->FLeft.get() == candidate ? reached->FLeft : reached->FRight;
    std::unique_ptr<TsbExpressionNode> detached = std::move(slot);
    TsbExpressionNode* raw = node.get();
    node->FParent = reached;
    detached->FParent = raw;
    node->FLeft = std::move(detached);
    slot = std::move(node);
    FCurrent = raw;
}

std::optional<TsbCompileError> TsbExpression::Finalize()
{
    if (FRoot->Op() == opNone) {
        if (!FRoot->FLeft) return TsbCompileError{u"Expression expected", FRoot->Pos()};
        std::unique_ptr<TsbExpressionNode> top = std::move(FRoot->FLeft);
        top->FParent = nullptr;
        FRoot = std::move(top);
    }
    // Depth first, without recursion, so that typing and evaluation may recurse safely.
    std::vector<std::pair<TsbExpressionNode*, size_t>> stack{{FRoot.get(), 1}};
    while (!stack.empty()) {
        auto [node, depth] = stack.back();
        stack.pop_back();
        if (depth > limits::ExpressionMaxDepth)
            return TsbCompileError{Format(u"Expression too complex (more than %d levels)",
                                          {static_cast<int64_t>(limits::ExpressionMaxDepth)}),
                                   node->Pos()};
        if (node->Op() == opLeftBracket) return TsbCompileError{u"')' expected", node->Pos()};
        for (auto* child : {node->FLeft.get(), node->FRight.get()})
            if (child) stack.emplace_back(child, depth + 1);
    }
    try {
        TypeNode(*FRoot);
    } catch (const TsbCompileError& e) {
        return e;
    }
    return std::nullopt;
}

bool KindsCompatible(TsbVarType left,
                     const String& leftType,
                     TsbVarType right,
                     const String& rightType,
                     const TsbScript& scope)
{
    if (right == K::vtVariant && left != K::vtConstructor) return true;
    switch (left) {
    case K::vtInt:
    case K::vtInt64:
        return right == K::vtInt || right == K::vtFloat || right == K::vtEnum ||
               right == K::vtInt64;
    case K::vtBool:
        return right == K::vtBool;
    case K::vtFloat:
        return right == K::vtInt || right == K::vtFloat || right == K::vtInt64;
    case K::vtChar:
    case K::vtString:
        return right == K::vtChar || right == K::vtString;
    case K::vtClass:
        return right == K::vtClass && ClassDescends(scope, rightType, leftType);
    case K::vtArray:
        return right == K::vtArray;
    case K::vtVariant:
        return true;
    case K::vtEnum:
        return right == K::vtInt || right == K::vtInt64 ||
               (right == K::vtEnum && SameText(leftType, rightType));
    default:
        return false;
    }
}

void TsbExpression::TypeNode(TsbExpressionNode& node)
{
    if (node.Op() == opOperand) return; // kinds were set when the operand was made
    if (node.FLeft) TypeNode(*node.FLeft);
    if (node.FRight) TypeNode(*node.FRight);
    const TsbOperatorType op = node.Op();
    if (!node.FLeft || (op != opNot && op != opUnMinus && !node.FRight))
        throw TsbCompileError{u"Expression expected", node.Pos()};
    const TsbVarType l = node.FLeft->Kind();
    const String& lType = node.FLeft->KindTypeName();
    bool ok = true;
    if (node.FRight) {
        const TsbVarType r = node.FRight->Kind();
        if (op == opIs)
            ok = (r == K::vtClass || r == K::vtVariant) &&
                 dynamic_cast<TsbDesignatorNode*>(node.FRight.get()) != nullptr;
        else if (op == opIn)
            ok = true; // membership compares values one by one
        else
            ok = KindsCompatible(l, lType, r, node.FRight->KindTypeName(), FScript) ||
                 MixedTextAndNumber(op, l, r);
    }
    if (ok && op != opIs) {
        switch (l) {
        case K::vtBool:
            ok = op == opEq || op == opNonEq || op == opOr || op == opXor || op == opAnd ||
                 op == opNot || op == opIn;
            break;
        case K::vtChar:
        case K::vtString:
            ok = IsComparison(op) || op == opPlus || op == opIn;
            break;
        case K::vtClass:
        case K::vtArray:
            ok = op == opEq || op == opNonEq || op == opIn;
            break;
        default:
            break;
        }
    }
    if (!ok) throw TsbCompileError{u"Incompatible types", node.Pos()};
    node.FKind = l;
    node.FTypeName = lType;
    if (MixedTextAndNumber(op, l, node.FRight ? node.FRight->Kind() : l)) node.FKind = K::vtVariant;
    if ((l == K::vtInt || l == K::vtInt64) && op == opDivFloat) node.FKind = K::vtFloat;
    if (IsComparison(op) || op == opIn || op == opIs) {
        node.FKind = K::vtBool;
        node.FTypeName.clear();
    }
    if ((op == opAnd || op == opOr) && l == K::vtBool && node.FRight->Kind() == K::vtBool)
        node.FShortCircuit = true;
}

TsbCustomVariable* TsbExpression::SingleItem() const
{
    const TsbDesignator* d = SingleDesignator();
    return d ? d->SingleItem() : nullptr;
}

TsbDesignator* TsbExpression::SingleDesignator() const
{
    const TsbExpressionNode* node = FRoot.get();
    if (node && node->Op() == opNone) node = node->FLeft.get();
    if (auto* d = dynamic_cast<const TsbDesignatorNode*>(node))
        return &const_cast<TsbDesignatorNode*>(d)->Designator();
    return nullptr;
}

void TsbExpression::Assign(const Variant& value)
{
    TsbDesignator* d = SingleDesignator();
    if (!d || !d->Assignable()) throw Exception(u"Left side cannot be assigned to");
    d->Assign(value);
}

const String& TsbExpression::TypeName() const
{
    static const String none;
    return FRoot ? FRoot->KindTypeName() : none;
}

} // namespace vl
