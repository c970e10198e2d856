// The report: root of a template's object tree and the object the request pipeline drives.
//
// This header is the report's shared surface. The data adapters need only the error list and
// the name of the object being evaluated; the rest of the report (options, datasets, variables,
// script machinery, engine, preparation) builds on it.
#pragma once

#include "model/component.h"

#include <vector>

namespace vl {

// The report's error list: kept sorted without regard to case; a text already present (without
// case) is not added again, so a failing expression met in every row is listed once.
class TvlxErrorList
{
public:
    void Add(const String& text);
    void Clear() { FLines.clear(); }
    bool Empty() const { return FLines.empty(); }
    size_t Count() const { return FLines.size(); }
    const std::vector<String>& Lines() const { return FLines; }
    // The lines joined with CR LF after every line.
    String Text() const;

private:
    std::vector<String> FLines;
};

class TvlxReport : public TvlxComponent
{
public:
    TvlxReport();
    ~TvlxReport() override;

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    bool IsReport() const override { return true; }

    TvlxErrorList& Errors() { return FErrors; }
    // Name of the object whose expressions are being evaluated ("" for none); error texts
    // found while it is set start with it and ": ".
    String FCurObject;

private:
    TvlxErrorList FErrors;
};

} // namespace vl
