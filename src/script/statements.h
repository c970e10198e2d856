// Statement objects of script programs. Each records its position before it runs (for error
// positions), costs one step of the run's budget, and honours the run flags (break, continue,
// exit) that lists and loops test between statements.
#pragma once

#include "script/expression.h"

#include <memory>
#include <vector>

namespace vl {

class TsbStatement
{
public:
    TsbStatement(TsbScript& program, size_t pos);
    virtual ~TsbStatement();
    TsbStatement(const TsbStatement&) = delete;
    TsbStatement& operator=(const TsbStatement&) = delete;

    void Run();
    size_t Pos() const { return FPos; }

protected:
    virtual void Execute() = 0;
    TsbScript& FProgram;

private:
    size_t FPos;
};

using TsbStatementList = std::vector<std::unique_ptr<TsbStatement>>;

// Runs a list until it ends or break, continue or exit is set.
void RunStatements(TsbStatementList& list, TsbScript& program);

class TsbCompoundStmt : public TsbStatement
{
public:
    using TsbStatement::TsbStatement;
    TsbStatementList Body;

protected:
    void Execute() override { RunStatements(Body, FProgram); }
};

class TsbAssignStmt : public TsbStatement
{
public:
    using TsbStatement::TsbStatement;
    std::unique_ptr<TsbExpression> Target;
    std::unique_ptr<TsbExpression> Source;

protected:
    void Execute() override;
};

class TsbCallStmt : public TsbStatement
{
public:
    using TsbStatement::TsbStatement;
    std::unique_ptr<TsbExpression> Call;

protected:
    void Execute() override { (void)Call->Value(); }
};

class TsbIfStmt : public TsbStatement
{
public:
    using TsbStatement::TsbStatement;
    std::unique_ptr<TsbExpression> Condition;
    TsbStatementList Then, Else;

protected:
    void Execute() override;
};

class TsbCaseStmt : public TsbStatement
{
public:
    using TsbStatement::TsbStatement;
    struct Selector
    {
        std::unique_ptr<TsbSetNode> Set;
        TsbStatementList Body;
    };
    std::unique_ptr<TsbExpression> Value;
    std::vector<Selector> Selectors;
    TsbStatementList Else;

protected:
    void Execute() override;
};

class TsbRepeatStmt : public TsbStatement
{
public:
    using TsbStatement::TsbStatement;
    TsbStatementList Body;
    std::unique_ptr<TsbExpression> Until;

protected:
    void Execute() override;
};

class TsbWhileStmt : public TsbStatement
{
public:
    using TsbStatement::TsbStatement;
    std::unique_ptr<TsbExpression> Condition;
    TsbStatementList Body;

protected:
    void Execute() override;
};

class TsbForStmt : public TsbStatement
{
public:
    using TsbStatement::TsbStatement;
    TsbCustomVariable* Variable = nullptr;
    std::unique_ptr<TsbExpression> From, To;
    bool Down = false;
    TsbStatementList Body;

protected:
    void Execute() override;
};

class TsbTryStmt : public TsbStatement
{
public:
    using TsbStatement::TsbStatement;
    TsbStatementList Body;
    TsbStatementList Handler; // the finally-part or the except-part
    bool IsFinally = true;
    TsbCustomVariable* ClassNameItem = nullptr; // ExceptionClassName
    TsbCustomVariable* MessageItem = nullptr;   // ExceptionMessage

protected:
    void Execute() override;
};

class TsbFlowStmt : public TsbStatement
{
public:
    enum class Kind
    {
        Break,
        Continue,
        Exit
    };
    TsbFlowStmt(TsbScript& program, size_t pos, Kind kind);

protected:
    void Execute() override;

private:
    Kind FKind;
};

class TsbWithStmt : public TsbStatement
{
public:
    using TsbStatement::TsbStatement;
    std::vector<std::unique_ptr<TsbExpression>> Objects;
    std::vector<std::unique_ptr<Variant>> Slots; // the evaluated objects, read by designators
    TsbStatementList Body;

protected:
    void Execute() override;
};

} // namespace vl
