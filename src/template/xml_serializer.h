// The mapping between template XML and report objects: an element names an object's class, its
// attributes are the object's published properties, its child elements are the object's children.
// Works through class descriptions only (platform/component), so a class becomes loadable by
// being registered and describing its properties.
//
// Contract:
// - Reading never stops for a bad attribute, an unknown class or an unresolved reference: the
//   problem's message goes to Errors() (sorted, each message once, compared without case) or, as
//   the rules say, is ignored. XML syntax errors propagate as TvlxInvalidXMLException.
// - Object references are resolved after the whole tree is read: by name among the objects of
//   the owner's tree, then the owner's own components, then those of the owner's owner (the data
//   module whose dataset adapters templates name), "Container.Component" through the owner's
//   owner.
// - Dotted attribute names walk owned sub-objects only ("Font.Name", "Frame.TopLine.Color"); a
//   path through a reference or an empty sub-object is ignored, never followed.
#pragma once

#include "base/stream.h"
#include "base/string.h"
#include "model/component.h"
#include "platform/component/class_info.h"
#include "platform/component/class_registry.h"
#include "platform/unicode/text_case.h"

#include <set>
#include <vector>

namespace vl {

class TvlxXMLItem;
class PropDataReader;
class PropDataWriter;
class TvlxXMLSerializer;

// Objects whose text the serializer carries as "Text" (and the compact "x"/"u") instead of a
// published property: text views.
class XMLTextObject
{
public:
    virtual String XMLText() const = 0; // lines joined by CR LF, the last one included
    virtual void SetXMLText(StringView text) = 0;

protected:
    ~XMLTextObject() = default;
};

// Objects that stream data of their own in a property data block ("PropData").
class CustomPropData
{
public:
    // Reads the value of the custom property `name` when the object defines it; false: not one
    // of its own (the block then applies it as a published property).
    virtual bool
    ReadCustomProp(StringView name, PropDataReader& reader, TvlxXMLSerializer& serializer) = 0;
    // Writes the object's custom properties (names and values); writing nothing is fine.
    virtual void WriteCustomProps(PropDataWriter& writer) const = 0;

protected:
    ~CustomPropData() = default;
};

struct TvlxFixupItem
{
    Persistent* Obj = nullptr;
    const PropInfo* Prop = nullptr;
    String Value;
};

class TvlxXMLSerializer
{
public:
    explicit TvlxXMLSerializer(ClassRegistry& registry = ClassRegistry::Global());

    Component* Owner() const { return FOwner; }
    void SetOwner(Component* owner) { FOwner = owner; }
    Stream* GetStream() const { return FStream; }
    void SetStream(Stream* stream) { FStream = stream; }
    bool SerializeDefaultValues() const { return FSerializeDefaultValues; }
    void SetSerializeDefaultValues(bool value) { FSerializeDefaultValues = value; }
    bool OldFormat() const { return FOldFormat; }
    void SetOldFormat(bool value) { FOldFormat = value; }

    // Messages collected while reading, sorted, without duplicates (compared without case).
    std::vector<String> Errors() const;
    void AddError(const String& message) { FErrors.insert(message); }

    // Applies the attribute text `s` to `obj`.
    void XMLToObj(StringView s, Persistent& obj);
    // The attribute text of `obj`'s properties, names prefixed with `add`, compared against
    // `ancestor` when given.
    String
    ObjToXML(const Persistent& obj, StringView add = {}, const Persistent* ancestor = nullptr);

    // Reads `item` (or, without one, the document in Stream()) into `root` and its children.
    void ReadRootComponent(TvlxComponent& root, TvlxXMLItem* item = nullptr);
    // Writes `root` (with its children when `saveChildren`) into `item`, or into a new indented
    // document saved to Stream().
    void WriteRootComponent(TvlxComponent& root,
                            bool saveChildren,
                            TvlxXMLItem* item = nullptr,
                            bool streaming = false);

    // "ClassName attr=..." -> a new object owned by `root` (nullptr for an empty text). Throws
    // Exception ("Cannot find class X") for an unregistered class.
    TvlxComponent* ReadComponentStr(Component* root, StringView s, bool dontFixup = false);
    String WriteComponentStr(const TvlxComponent& c);
    // XMLToObj on an object that is no component, with reference resolution.
    void ReadPersistentStr(Component* root, Persistent& obj, StringView s);

    void CopyFixupList(std::vector<TvlxFixupItem>& list) const;
    // Resolves and empties the pending references.
    void FixupReferences();

private:
    void ReadItem(const TvlxXMLItem& item, TvlxComponent* parent, TvlxComponent* root);
    void WriteItem(
        TvlxXMLItem& item, TvlxComponent& obj, bool isRoot, bool saveChildren, bool streaming);
    void ApplyAttribute(Persistent& obj, StringView name, StringView value);
    void ApplyProp(Persistent& obj, const PropInfo& prop, StringView value);
    Component* FindReference(StringView name);
    void
    AppendPropData(String& out, const Persistent& obj, StringView add, const Persistent* ancestor);

    struct NoCaseLess
    {
        bool operator()(const String& a, const String& b) const { return CompareText(a, b) < 0; }
    };

    ClassRegistry& FRegistry;
    std::set<String, NoCaseLess> FErrors;
    std::vector<TvlxFixupItem> FFixups;
    std::vector<TvlxComponent*> FRead;
    Component* FOwner = nullptr;
    Stream* FStream = nullptr;
    bool FSerializeDefaultValues = false;
    bool FOldFormat = false;
};

// Attribute value conversions of the template format.
// Float: "." and "," both act as the decimal separator, spaces are ignored. Throws EConvertError.
double TemplateTextToFloat(StringView text);

} // namespace vl
