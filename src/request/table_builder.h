// The table builder: turns the request's "datasets" object into typed in-memory tables, one per
// member, each with the declared fields and then "__id", the 0-based row number that keeps
// detail rows in request order once tables are linked.
#pragma once

#include "platform/json/json_reader.h"
#include "platform/table/client_data_set.h"
#include "request/stream_decoder.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vl {

struct BuiltTable
{
    String Name; // the "datasets" member name; unique in the request, compared with case
    std::unique_ptr<TClientDataSet> Table;
};

// Every table of "datasets" in request order, open and filled. A member that is not an object
// fails with "Definicija tablice "%s" je tipa %s, treba biti objekt"; any other failure while a
// table is built (a duplicate table name included) is raised as
// "Greška pri stvaranju tablice %s:\r\n<message>". The first failing table ends the building.
std::vector<BuiltTable> BuildTables(const JsonObject& datasets, int32_t stringSize);
std::vector<BuiltTable>
BuildTables(const JsonObject& datasets, int32_t stringSize, InflateBudget& budget);

// One table from its definition ("fields" and "data"); raises the definition's own messages
// unwrapped.
std::unique_ptr<TClientDataSet>
BuildTable(const JsonObject& definition, int32_t stringSize, InflateBudget& budget);

// Request date text: "YYYY-MM-DD" or "YYYY-MM-DDThh:mm:ss" by length alone (the separators are
// not looked at); each part converts as a platform integer, and the date and time must exist.
double ParseRequestDate(StringView text);
// Request time text "hh:mm:ss": a time of day on day 0.
double ParseRequestTime(StringView text);

} // namespace vl
