// The launcher's own small XML reader: a byte-oriented subset reader that builds a tree
// of elements with interned names. It never decodes characters; callers convert texts
// from UTF-8 themselves.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "config/name_table.h"

struct XmlElement;

struct XmlAttribute {
    const char* name = nullptr;  // interned
    XmlElement* owner = nullptr;
    std::string value;  // decoded bytes
};

struct XmlElement {
    const char* name = nullptr;  // interned; "" for the root
    XmlElement* parent = nullptr;
    std::vector<std::unique_ptr<XmlElement>> children;
    std::vector<std::unique_ptr<XmlAttribute>> attributes;
    std::string text;

    // Lookups compare interned pointers, never bytes.
    const XmlElement* findChild(const char* internedName) const;
    const XmlAttribute* findAttribute(const char* internedName) const;
};

// A yes/no attribute is set only when its value is exactly "true".
bool isFlagSet(const XmlAttribute* attribute);

class XmlDocument {
public:
    XmlDocument();
    ~XmlDocument();  // frees the tree without recursion, however deep it is
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // 0 on success; -1 with one fixed message on the first syntax error. What was built
    // before the error stays in the tree.
    int parse(const char* text, std::string& error);

    const char* intern(const char* name);
    const XmlElement& root() const { return root_; }
    XmlElement& root() { return root_; }

private:
    NameTable names_;
    XmlElement root_;
};
