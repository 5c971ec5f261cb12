// The tagged tree: one node of an ordered tree of named elements with attributes, content text
// and owned children, and its small text format. Every file of the program is one such tree.
#pragma once

#include "tree/NodeAttrs.h"
#include "tree/NodeChildren.h"
#include "tree/NodeName.h"
#include "tree/NodeText.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Raised for every reading error; Position is the 1-based character index where it was found.
class EQelPiggerError : public std::runtime_error {
public:
    EQelPiggerError(const std::string& message, std::int32_t position)
        : std::runtime_error(message), Position(position) {}
    std::int32_t Position;
};

// Raised when a file cannot be opened, created or written.
class EQelFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How every part of the program words a reading error: "Unclosed tag: B. Position 9", after
// "FILE: " when a file name is given.
std::string DescribeReadError(const EQelPiggerError& error, std::string_view fileName = {});

// Messages of the reader (kept together so they can be translated).
namespace QelMessages {
inline constexpr const char* SyntaxError = "Syntax error";
inline constexpr const char* UnclosedTag = "Unclosed tag: %s";
} // namespace QelMessages

class TQelPigger {
public:
    // Deepest nesting the reader accepts; no real file comes near it.
    static constexpr int MaxReadDepth = 10000;

    explicit TQelPigger(TQelPigger* parent = nullptr);
    virtual ~TQelPigger();

    TQelPigger(const TQelPigger&) = delete;
    TQelPigger& operator=(const TQelPigger&) = delete;

    // Nodes made while a tree is read come from that read's store (see NodeStore); the others
    // from the heap. Either way a node is deleted with delete, alone or with its parent.
    static void* operator new(std::size_t size);
    static void operator delete(void* node) noexcept;

    // Virtual constructor: a new node of this node's own class under parent.
    virtual TQelPigger* Create(TQelPigger* parent) const;

    // --- name, text, structure
    const std::string& Name() const { return name_.str(); }
    void SetName(std::string_view s);
    NodeText Text;

    TQelPigger* Parent() const { return parent_; }
    virtual void SetParent(TQelPigger* newParent);
    // CR LF followed by one TAB per level of depth.
    std::string Indent() const;
    // Number of ancestors.
    int Depth() const;

    virtual void Clear();

    // --- attributes (names upper case, insertion order kept)
    int AttrCount() const { return attrs_.size(); }
    const std::string& AttrName(int i) const { return attrs_[i].name.str(); }
    std::string_view AttrValue(int i) const { return attrs_[i].value; }
    std::string GetAttr(std::string_view attrName) const;
    // The value of the first attribute of that (already upper-case) name, or an empty text.
    // Valid until the attributes change.
    std::string_view AttrRef(std::string_view upperName) const;
    void SetAttr(std::string_view attrName, std::string_view value);
    void DeleteAttr(std::string_view attrName);

    // --- children
    int ChildCount() const { return static_cast<int>(children_.size()); }
    // The child at index, or none outside 0..ChildCount()-1.
    TQelPigger* Child(int index);
    const TQelPigger* Child(int index) const;
    // A new last child of this node's own class (see Create) named name.
    TQelPigger* AddChild(std::string_view name);
    // The first child named name, or a new last one when there is none.
    TQelPigger* FindOrAddChild(std::string_view name);
    TQelPigger* FindChild(std::string_view childName) const;
    TQelPigger* FindNextChild(const TQelPigger* child) const;
    TQelPigger* FindChildByAttr(std::string_view attrName, std::string_view value) const;
    int IndexOfChild(const TQelPigger* child) const;
    void DeleteChild(int index);
    void DeleteChildNode(TQelPigger* node);
    std::span<TQelPigger* const> Children() { return children_.span(); }
    std::span<const TQelPigger* const> Children() const { return children_.span(); }

    // A number of this node that no other node of the process ever had or will have, so that
    // something holding a pointer to a node can tell it from a later node at the same address.
    std::uint64_t Serial() const { return serial_; }
    // The direct child with that serial, or none (it was deleted or moved elsewhere). Takes the
    // same time whatever the number of children, once per change of the list of children.
    TQelPigger* FindChildBySerial(std::uint64_t serial) const;

    // A value that changes whenever this node's list of children changes or the name or an
    // attribute of this node or of one of its direct children changes, and that no two nodes
    // ever share. An index over the children can tell by it whether it is still current.
    // (Content text is a plain field and does not count.)
    std::uint64_t ChangeStamp() const { return stamp_; }

    // Deep copy of source into this node (children created through Create). Either may lie
    // inside the other: the source is then copied first.
    virtual void Assign(const TQelPigger& source);

    // --- text form
    virtual std::string GetAsText() const;
    void AppendText(std::string& out) const;
    // The text of GetAsText in pieces of about a megabyte, one after the other, to sink. Stops
    // and gives false as soon as sink gives false.
    bool WriteText(const std::function<bool(std::string_view)>& sink) const;
    virtual void SetAsText(std::string_view s);
    void SaveToStream(std::ostream& stream) const;
    // The text every file of this node is written with, to sink: a plain tree's in pieces
    // (WriteText), a derived class's own GetAsText whole. Gives false as soon as sink does.
    bool SaveToSink(const std::function<bool(std::string_view)>& sink) const;
    // Writes the text of SaveToSink into a new file beside fileName and renames it over
    // fileName (see WriteFileAtomically), so that the file holds either its old or its new
    // text, never a part. Throws EQelFileError, leaving the file as it was, also when no new
    // file can be made in its folder.
    void SaveToFile(const std::string& fileName) const;
    void LoadFromStream(std::istream& stream);
    // Reads the file as LoadFromStream would, a large one in place (see WholeFile::ReadInPlace).
    // Throws EQelFileError, leaving the node as it was, when the file cannot be opened or read,
    // is no regular file or is too large; EQelFileError too when it changed while it was read,
    // the node then left empty if that was seen only at the end; EQelPiggerError on bad syntax.
    void LoadFromFile(const std::string& fileName);

    // Reads one element starting at the 1-based position p (in/out). Nested elements are read
    // without recursion: the depth limit holds whatever the size of the thread's stack.
    void ReadElement(std::string_view s, int& p);

    // Line-break normalisation of LoadFromStream: bytes up to the first NUL, every line
    // followed by CR LF.
    static std::string NormalizeLineBreaks(std::string_view bytes);

protected:
    // Extension points of the reader.
    virtual TQelPigger* CreateChild(std::string_view tagName);
    virtual void ChildLoaded(TQelPigger* child);
    virtual bool AcceptText(std::string_view piece);
    [[noreturn]] virtual void Error(const std::string& message, int position) const;

private:
    struct SerialIndex;

    // Reads an opening tag at p; gives whether content and a closing tag follow.
    bool readOpeningTag(std::string_view s, int& p);
    void readClosingTag(std::string_view s, int& p);
    // Adds a non-empty piece of content, decoded (in scratch when it holds escapes).
    void takeText(std::string_view piece, std::string& scratch);
    // The store this node was made in during a read, or none.
    NodeStore* store() const;
    // Deletes the children and all below them, without recursion.
    void destroyChildren() noexcept;
    // About the size of the text of this subtree, a little more when it holds few escapes.
    size_t textSizeEstimate(int depth) const;
    // AppendText, handing out to flush whenever it holds a piece; false when flush gave false.
    bool writeText(std::string& out, const std::function<bool(std::string&)>& flush) const;
    void detachChild(TQelPigger* child);
    void renumberChildren() const;
    // Marks a change of this node (and so of a child of its parent).
    void touch();

    NodeName name_;
    TQelPigger* parent_ = nullptr;
    NodeAttrs attrs_;
    NodeChildren children_;
    // Position of this node in its parent's list; valid while the parent's indexDirty_ is false.
    mutable int indexInParent_ = 0;
    mutable bool indexDirty_ = false;
    // Made by operator new in a read's store (its texts may then lie there too).
    bool inStore_ = false;
    std::uint64_t stamp_;
    const std::uint64_t serial_;
    mutable std::unique_ptr<SerialIndex> serialIndex_;
};

// Escaping of attribute values and content text.
std::string PercentEncode(std::string_view s);
void PercentEncodeTo(std::string& out, std::string_view s);
std::string PercentDecode(std::string_view s);
void PercentDecodeTo(std::string& out, std::string_view s);

// Removes leading and trailing bytes with codes 0-32.
std::string_view TrimBlanks(std::string_view s);
// Upper-cases the ASCII letters a-z only.
std::string UpperAscii(std::string_view s);
