// Designators: a name followed by members (".Name"), indexes ("[...]") and calls ("(...)"),
// resolved at compile time to a chain of links and evaluated link by link at run time.
#pragma once

#include "script/expression.h"

#include <memory>
#include <vector>

namespace vl {

class TsbDesignator
{
public:
    enum class LinkKind
    {
        Item,        // a variable, constant or object item's value
        WithObject,  // the object of an enclosing with-statement
        Method,      // registered function (global or class member) call
        Proc,        // script procedure call
        Property,    // class property (indexes allowed)
        StringIndex, // one character of a string (1-based)
        ArrayIndex,  // an element of a variant array
    };

    struct Link
    {
        Link() = default;
        explicit Link(LinkKind kind)
            : Kind(kind)
        {}
        LinkKind Kind = LinkKind::Item;
        TsbCustomVariable* Item = nullptr;
        const TsbClassProperty* Property = nullptr;
        const Variant* WithSlot = nullptr;
        std::vector<std::unique_ptr<TsbExpression>> Args; // call arguments or indexes
        std::vector<String> ArgTexts;                     // macro functions: argument sources
        TsbVarType ResultKind = TsbVarType::vtVariant;
        String ResultType;
        size_t Pos = 0;
    };

    explicit TsbDesignator(TsbScript& script);
    ~TsbDesignator();

    std::vector<Link>& Links() { return FLinks; }
    TsbVarType Kind() const;
    const String& TypeName() const;
    // The item when the designator is one plain item (variable, constant, object).
    TsbCustomVariable* SingleItem() const;
    bool Assignable() const;

    Variant Value();
    void Assign(const Variant& value);

private:
    Variant CallLink(Link& link, const Variant& instance);
    Variant EvalLinks(size_t count); // the value of the first count links

    TsbScript& FScript;
    std::vector<Link> FLinks;
};

} // namespace vl
