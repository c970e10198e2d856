// Report variables: named values that expressions read. A report's list is filled from its
// template and then from the request; a process-wide list holds global variables. The list keeps
// names and values only: that a string value is itself an expression is the report's business.
//
// A variable whose name starts with a blank is a category header; the category (the rest of the
// name) holds the variables after it up to the next header. Names compare without case and
// duplicates are allowed: lookups find the first match.
#pragma once

#include "base/stream.h"
#include "base/string.h"
#include "base/variant.h"
#include "platform/component/class_info.h"
#include "platform/component/string_list.h"

#include <memory>
#include <string>
#include <vector>

namespace vl {

class TvlxXMLItem;

class TvlxVariable : public Persistent
{
public:
    TvlxVariable();
    TvlxVariable(String name, Variant value);

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    void Assign(const Persistent& source) override; // copies name and value

    const String& Name() const { return FName; }
    void SetName(const String& name) { FName = name; }
    Variant Value() const { return FValue; }
    void SetValue(const Variant& value) { FValue = value; }

private:
    String FName;
    Variant FValue; // Null when created
};

// A Persistent so that report scripts can hold the list ("Report.Variables",
// "vlxGlobalVariables").
class TvlxVariables : public Persistent
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    using Persistent::Assign;

    size_t Count() const { return FItems.size(); }
    TvlxVariable& Item(size_t index) const { return *FItems[index]; }
    TvlxVariable& Add();
    TvlxVariable& Insert(size_t index);
    void Delete(size_t index);
    void Clear() { FItems.clear(); }

    // Index of the first variable named `name` (without case), or -1.
    int IndexOf(StringView name) const;
    // The value of the first match; Null when there is none.
    Variant Value(StringView name) const;
    // The first match gets the value; otherwise a variable is appended at the end (inside the last
    // category when the list ends with one).
    void SetValue(StringView name, const Variant& value);

    // Sets the value of an existing variable anywhere; otherwise appends it at the end of
    // `category` (before the next header). Nothing happens for a category that does not exist.
    void AddVariable(StringView category, StringView name, const Variant& value);
    void DeleteVariable(StringView name);
    // Removes the header of `category` and its variables; nothing when there is no such header.
    void DeleteCategory(StringView category);

    // Adds the category names in list order (each at most 255 characters).
    void GetCategoriesList(StringList& list, bool clearList = true) const;
    // Names of the variables of `category`; the empty category is the variables before the first
    // header. The listing stops at a variable with an empty name.
    void GetVariablesList(StringView category, StringList& list) const;

    void Assign(const TvlxVariables& source);

    // ---- XML form: root "variables", one child "item" per variable with the attributes Name
    // (when not empty) and Value (always; the value's text, escaped). Values read back as
    // strings.
    // Empty the list, read the document; a root of another name leaves the list empty. Throws
    // TvlxInvalidXMLException for a document that is no template XML, EFOpenError for a file.
    void LoadFromStream(Stream& stream);
    void LoadFromFile(const std::string& fileName);
    // Empty the list, then one variable per child "item" (other children are skipped); the
    // attribute texts are old-format 8-bit text when oldXMLFormat.
    void LoadFromXMLItem(const TvlxXMLItem& item, bool oldXMLFormat = false);
    // An indented document; a file is created anew (EFCreateError when it cannot be).
    void SaveToStream(Stream& stream) const;
    void SaveToFile(const std::string& fileName) const;

private:
    int CategoryIndex(StringView category) const; // index of the header, or -1

    std::vector<std::unique_ptr<TvlxVariable>> FItems;
};

// A small map from Variant keys (compared as their text, without case) to values.
class TvlxArray
{
public:
    int IndexOf(const Variant& key) const;
    Variant Value(const Variant& key) const;
    void SetValue(const Variant& key, const Variant& value);
    size_t Count() const { return FItems.Count(); }
    void Clear() { FItems.Clear(); }

private:
    TvlxVariables FItems;
};

// The process-wide list of global variables.
TvlxVariables& GlobalVariables();

} // namespace vl
