// Finding aggregate calls (SUM, AVG, MIN, MAX, COUNT) in the text of an expression, before the
// run, so that the engine can collect their values while the records print.
//
// Contract:
// - The scan reads words, not grammar: quoted texts are passed over, the insides of round and
//   angle brackets are read like any text, and a word that names a report variable stands for
//   the variable's value, which is scanned in its place. The caller decides which words are
//   variables (`isVariable`); the scan only reports them.
// - Every step moves forward through the text and nested brackets are walked with an explicit
//   stack, so any text is scanned in time linear in its length, whatever its nesting.
#pragma once

#include "base/string.h"

#include <functional>
#include <vector>

namespace vl {

// What one text holds: the aggregate calls, each from the function name to its closing
// parenthesis, and the variable names met as words, both in text order.
struct AggregateScanResult
{
    std::vector<String> Calls;
    std::vector<String> Variables;
};

// Scans `text` (see the file comment) and appends what it finds to `result`. A call whose
// parenthesis is never closed is not a call; its arguments are scanned as plain text.
void ScanAggregateText(StringView text,
                       const std::function<bool(StringView word)>& isVariable,
                       AggregateScanResult& result);

// The parts of a call text "SUM(<x>, Band1, 2)": the upper-cased, trimmed name before the first
// "(" and the arguments split at top-level commas outside quotes, each trimmed; at most three.
struct AggregateCallParts
{
    String Name;
    std::vector<String> Arguments;
};
AggregateCallParts SplitAggregateCall(StringView call);

// The text without the characters up to space at both ends.
StringView TrimmedText(StringView text);

} // namespace vl
