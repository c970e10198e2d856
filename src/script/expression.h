// Expression trees (`TsbExpression`): operands and operators arrive in source order; the tree is
// built from a fixed priority table (a lower number binds tighter), typed by Finalize with the
// compatibility table, and evaluated on demand over Variant values with the rules of
// base/variant.h.
#pragma once

#include "base/string.h"
#include "base/variant.h"
#include "script/script.h"

#include <memory>
#include <optional>
#include <vector>

namespace vl {

enum TsbOperatorType
{
    opNone,
    opGreat,
    opLess,
    opLessEq,
    opGreatEq,
    opNonEq,
    opEq,
    opPlus,
    opMinus,
    opOr,
    opXor,
    opMul,
    opDivFloat,
    opDivInt,
    opMod,
    opAnd,
    opShl,
    opShr,
    opLeftBracket,
    opRightBracket,
    opNot,
    opUnMinus,
    opIn,
    opIs,
    opOperand // operands (literals, designators, sets): priority 0
};

// A compile error with its source offset.
struct TsbCompileError
{
    String Message;
    size_t Pos;
};

class TsbExpressionNode
{
public:
    TsbExpressionNode(TsbOperatorType op, size_t pos);
    virtual ~TsbExpressionNode();
    TsbExpressionNode(const TsbExpressionNode&) = delete;
    TsbExpressionNode& operator=(const TsbExpressionNode&) = delete;

    virtual Variant Eval() = 0;

    TsbOperatorType Op() const { return FOp; }
    int Priority() const;
    size_t Pos() const { return FPos; }
    TsbVarType Kind() const { return FKind; }
    const String& KindTypeName() const { return FTypeName; }

    std::unique_ptr<TsbExpressionNode> FLeft, FRight;
    TsbExpressionNode* FParent = nullptr;

protected:
    friend class TsbExpression;
    TsbOperatorType FOp;
    size_t FPos;
    TsbVarType FKind = TsbVarType::vtVariant;
    String FTypeName;
    bool FShortCircuit = false;
    TsbScript* FScript = nullptr; // binary operators: the script they were compiled in
};

// A literal.
class TsbOperandNode : public TsbExpressionNode
{
public:
    TsbOperandNode(Variant value, size_t pos);
    Variant Eval() override { return FValue; }
    const Variant& Value() const { return FValue; }

private:
    Variant FValue;
};

class TsbDesignator;

// A name, member, index or call chain.
class TsbDesignatorNode : public TsbExpressionNode
{
public:
    TsbDesignatorNode(std::unique_ptr<TsbDesignator> designator, size_t pos);
    ~TsbDesignatorNode() override;
    Variant Eval() override;
    TsbDesignator& Designator() { return *FDesignator; }

private:
    std::unique_ptr<TsbDesignator> FDesignator;
};

class TsbExpression;

// A set constructor [a, b..c]. As a value it is an array in which a range a..b is written as
// a, Null, b; "in" tests membership without building it.
class TsbSetNode : public TsbExpressionNode
{
public:
    struct Member
    {
        std::unique_ptr<TsbExpression> Low;
        std::unique_ptr<TsbExpression> High; // null unless a range
    };
    TsbSetNode(std::vector<Member> members, size_t pos);
    ~TsbSetNode() override;
    Variant Eval() override;
    bool Contains(const Variant& value);

private:
    std::vector<Member> FMembers;
};

// Operator nodes share one implementation per operator.
template <TsbOperatorType TOp>
class TOperatorNode final : public TsbExpressionNode
{
public:
    explicit TOperatorNode(size_t pos)
        : TsbExpressionNode(TOp, pos)
    {}
    Variant Eval() override;
};

using TNotNode = TOperatorNode<opNot>;
using TUnMinusNode = TOperatorNode<opUnMinus>;
using TMulNode = TOperatorNode<opMul>;
using TDivFloatNode = TOperatorNode<opDivFloat>;
using TDivIntNode = TOperatorNode<opDivInt>;
using TModNode = TOperatorNode<opMod>;
using TAndNode = TOperatorNode<opAnd>;
using TShlNode = TOperatorNode<opShl>;
using TShrNode = TOperatorNode<opShr>;
using TPlusNode = TOperatorNode<opPlus>;
using TMinusNode = TOperatorNode<opMinus>;
using TOrNode = TOperatorNode<opOr>;
using TXorNode = TOperatorNode<opXor>;
using TGreatNode = TOperatorNode<opGreat>;
using TLessNode = TOperatorNode<opLess>;
using TLessEqNode = TOperatorNode<opLessEq>;
using TGreatEqNode = TOperatorNode<opGreatEq>;
using TNonEqNode = TOperatorNode<opNonEq>;
using TEqNode = TOperatorNode<opEq>;
using TInNode = TOperatorNode<opIn>;
using TIsNode = TOperatorNode<opIs>;
using TRightBracketNode = TOperatorNode<opRightBracket>;
using TLeftBracketNode = TOperatorNode<opLeftBracket>;
using TNoneNode = TOperatorNode<opNone>;

class TsbExpression
{
public:
    explicit TsbExpression(TsbScript& script);
    ~TsbExpression();

    void AddConst(Variant value, size_t pos);
    void AddDesignator(std::unique_ptr<TsbDesignator> designator, size_t pos);
    void AddSet(std::vector<TsbSetNode::Member> members, size_t pos);
    // "+", "div", "(", ")", "not", "unminus", ... (without case). Throws TsbCompileError.
    void AddOperator(StringView text, size_t pos);
    // Types the tree; the error (message and position) of the first failing node, if any.
    std::optional<TsbCompileError> Finalize();
    void Optimize() {}

    // The item of a plain name (or nullptr); the literal of a lone constant (or nullptr).
    TsbCustomVariable* SingleItem() const;
    TsbDesignator* SingleDesignator() const;

    Variant Value() const { return FRoot->Eval(); }
    // Assigns to the single designator; throws when the expression is not assignable.
    void Assign(const Variant& value);

    TsbVarType Kind() const { return FRoot ? FRoot->Kind() : TsbVarType::vtVariant; }
    const String& TypeName() const;
    const String& Source() const { return FSource; }
    void SetSource(String text) { FSource = std::move(text); }
    bool Empty() const { return !FRoot; }

private:
    void Attach(std::unique_ptr<TsbExpressionNode> node);
    void TypeNode(TsbExpressionNode& node);

    TsbScript& FScript;
    std::unique_ptr<TsbExpressionNode> FRoot; // the opNone placeholder until Finalize
    TsbExpressionNode* FCurrent = nullptr;
    String FSource;
};

// Compatibility of two static kinds under the table of the type check.
bool KindsCompatible(TsbVarType left,
                     const String& leftType,
                     TsbVarType right,
                     const String& rightType,
                     const TsbScript& scope);

} // namespace vl
