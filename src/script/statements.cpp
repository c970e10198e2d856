// Execution of script statements.
#include "script/statements.h"

#include "base/exception.h"

namespace vl {

TsbStatement::TsbStatement(TsbScript& program, size_t pos)
    : FProgram(program)
    , FPos(pos)
{}

TsbStatement::~TsbStatement() = default;

void TsbStatement::Run()
{
    FProgram.Root().SetCurrentPos(FPos);
    FProgram.Step();
    Execute();
}

void RunStatements(TsbStatementList& list, TsbScript& program)
{
    TsbRunFlags& flags = program.Flags();
    for (auto& statement : list) {
        if (flags.Break || flags.Continue || flags.Exit) return;
        statement->Run();
    }
}

namespace {

// Runs a loop body; true when the loop must end (break or exit). Clears continue.
bool RunRound(TsbStatementList& body, TsbScript& program)
{
    program.Step();
    RunStatements(body, program);
    TsbRunFlags& flags = program.Flags();
    flags.Continue = false;
    if (flags.Break) {
        flags.Break = false;
        return true;
    }
    return flags.Exit;
}

} // namespace

void TsbAssignStmt::Execute()
{
    Target->Assign(Source->Value());
}

void TsbIfStmt::Execute()
{
    if (Condition->Value().ToBool())
        RunStatements(Then, FProgram);
    else
        RunStatements(Else, FProgram);
}

void TsbCaseStmt::Execute()
{
    const Variant value = Value->Value();
    for (auto& selector : Selectors) {
        if (selector.Set->Contains(value)) {
            RunStatements(selector.Body, FProgram);
            return;
        }
    }
    RunStatements(Else, FProgram);
}

void TsbRepeatStmt::Execute()
{
    for (;;) {
        if (RunRound(Body, FProgram)) return;
        if (Until->Value().ToBool()) return;
    }
}

void TsbWhileStmt::Execute()
{
    while (Condition->Value().ToBool())
        if (RunRound(Body, FProgram)) return;
}

void TsbForStmt::Execute()
{
    const int64_t from = From->Value().ToInt64();
    const int64_t to = To->Value().ToInt64();
    if (Down ? from < to : from > to) return;
    for (int64_t i = from;; Down ? --i : ++i) {
        Variable->SetValue(VarFromInt(i));
        if (RunRound(Body, FProgram) || i == to) return;
    }
}

void TsbTryStmt::Execute()
{
    TsbRunFlags& flags = FProgram.Flags();
    if (IsFinally) {
        try {
            RunStatements(Body, FProgram);
        } catch (...) {
            // The finally-part runs on every path, then the error goes on.
            const TsbRunFlags saved = flags;
            flags = {};
            RunStatements(Handler, FProgram);
            flags = saved;
            throw;
        }
        // An exit (or break) in the body takes effect after the finally-part.
        const TsbRunFlags saved = flags;
        flags = {};
        RunStatements(Handler, FProgram);
        flags.Break |= saved.Break;
        flags.Continue |= saved.Continue;
        flags.Exit |= saved.Exit;
        return;
    }
    try {
        RunStatements(Body, FProgram);
    } catch (const ELimitExceeded&) {
        throw; // bounds of the run are not the script's to handle
    } catch (const Exception& e) {
        ClassNameItem->SetValue(Variant(FromUtf8(e.ClassName())));
        MessageItem->SetValue(Variant(e.Message()));
        RunStatements(Handler, FProgram);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        ClassNameItem->SetValue(Variant(u"Exception"));
        MessageItem->SetValue(Variant(FromUtf8(e.what())));
        RunStatements(Handler, FProgram);
    }
}

TsbFlowStmt::TsbFlowStmt(TsbScript& program, size_t pos, Kind kind)
    : TsbStatement(program, pos)
    , FKind(kind)
{}

void TsbFlowStmt::Execute()
{
    TsbRunFlags& flags = FProgram.Flags();
    switch (FKind) {
    case Kind::Break:
        flags.Break = true;
        break;
    case Kind::Continue:
        flags.Continue = true;
        break;
    case Kind::Exit:
        flags.Exit = true;
        break;
    }
}

void TsbWithStmt::Execute()
{
    for (size_t i = 0; i < Objects.size(); ++i)
        *Slots[i] = Objects[i]->Value();
    RunStatements(Body, FProgram);
}

} // namespace vl
