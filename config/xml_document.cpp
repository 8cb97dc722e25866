#include "config/xml_document.h"

#include <cstring>

#include "config/tokenizer.h"

namespace {

const char kWhitespace[] = " \t\n\f\r";
const char kSpecial[] = "&';</>=\"";
constexpr std::size_t kInitialCapacity = 100000;

const char kErrAddString[] = "Error in function 'addString'.";
const char kErrMissingStartTag[] = "Error. Missing start tag.";
const char kErrMissingElementName[] = "Error. Missing element name.";
const char kErrIllegalSpecial[] = "Error. Illegal special element beginning with '?'.";
const char kErrIllegalComment[] = "Error. Illegal comment.";
const char kErrMissingClosing[] = "Error. Missing closing '>' in element.";
const char kErrMissingEquals[] = "Error. Missing '=' behind attribute name.";
const char kErrMissingValueStart[] = "Error. Missing start '\"' of attribute value.";
const char kErrMissingValueEnd[] = "Error. Missing end '\"' of attribute value.";
const char kErrMissingEndTag[] = "Error. Missing end tag.";
const char kErrEndTagMismatch[] = "Error. End tag name does not match start tag name.";

bool isContentWhitespace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

bool endsWithDashes(const char* token) {
    const std::size_t length = std::strlen(token);
    return length >= 2 && token[length - 2] == '-' && token[length - 1] == '-';
}

// One parse run. Nesting is followed through the elements' parent links instead of
// recursion, so arbitrarily deep input cannot exhaust the stack.
class Parser {
public:
    Parser(XmlDocument& document, std::string& error)
        : document_(document), error_(error), tokens_(kWhitespace, kSpecial, kInitialCapacity) {}

    int run(const char* text) {
        if (!tokens_.addString(text)) return fail(kErrAddString, -1);

        // Anything before the first '<' (a byte-order mark, stray text) is ignored.
        const char* token;
        while ((token = tokens_.nextToken()) != nullptr && token[0] != '<') {}
        if (!token) return 0;
        tokens_.ungetToken();

        while ((token = tokens_.nextToken()) != nullptr) {
            if (token[0] != '<') return fail(kErrMissingStartTag, -1);
            if (!readTopLevelElement()) return -1;
        }
        return 0;
    }

private:
    enum class Tag { Failed, Finished, Open };
    enum class Content { Failed, ChildFollows, Closed };

    // Records the message and hands back the caller's failure value.
    template <typename Result = bool>
    Result fail(const char* message, Result result = Result()) {
        error_ = message;
        return result;
    }

    // Entered just after a top-level '<'; returns once that element is complete.
    bool readTopLevelElement() {
        XmlElement* const root = &document_.root();
        XmlElement* open = root;  // the element whose content is being read
        for (;;) {
            XmlElement* opened = nullptr;
            const Tag tag = readTag(open, &opened);
            if (tag == Tag::Failed) return false;
            if (tag == Tag::Open) open = opened;
            for (;;) {
                if (open == root) return true;
                const Content content = readContent(open);
                if (content == Content::Failed) return false;
                if (content == Content::ChildFollows) break;
                open = open->parent;
            }
        }
    }

    // Entered just after '<'. A start tag ending in '>' leaves its element open.
    Tag readTag(XmlElement* parent, XmlElement** opened) {
        const char* name = tokens_.nextToken();
        if (!name) return fail(kErrMissingElementName, Tag::Failed);

        if (name[0] == '?') {
            const char* token;
            while ((token = tokens_.nextToken()) != nullptr)
                if (token[0] == '>') return Tag::Finished;
            return fail(kErrIllegalSpecial, Tag::Failed);
        }

        if (std::strncmp(name, "!--", 3) == 0) {
            // The opening token counts as the one ending in "--", so "<!-->" is complete.
            bool afterDashes = endsWithDashes(name);
            const char* token;
            while ((token = tokens_.nextToken()) != nullptr) {
                if (afterDashes && token[0] == '>') return Tag::Finished;
                afterDashes = endsWithDashes(token);
            }
            return fail(kErrIllegalComment, Tag::Failed);
        }

        auto element = std::make_unique<XmlElement>();
        element->name = document_.intern(name);
        element->parent = parent;
        XmlElement* const current = element.get();
        parent->children.push_back(std::move(element));

        for (;;) {
            const char* token = tokens_.nextToken();
            if (!token) return fail(kErrMissingClosing, Tag::Failed);
            if (token[0] == '/') {
                token = tokens_.nextToken();
                if (!token || token[0] != '>') return fail(kErrMissingClosing, Tag::Failed);
                return Tag::Finished;
            }
            if (token[0] == '>') {
                *opened = current;
                return Tag::Open;
            }
            if (!readAttribute(current, token)) return Tag::Failed;
        }
    }

    bool readAttribute(XmlElement* owner, const char* nameToken) {
        // Intern first: the token is only valid until the next tokenizer call.
        const char* name = document_.intern(nameToken);
        const char* token = tokens_.nextToken();
        if (!token || token[0] != '=') return fail(kErrMissingEquals);
        token = tokens_.nextToken();
        if (!token || token[0] != '"') return fail(kErrMissingValueStart);

        auto attribute = std::make_unique<XmlAttribute>();
        attribute->name = name;
        attribute->owner = owner;
        std::string& value = attribute->value;
        owner->attributes.push_back(std::move(attribute));

        for (;;) {
            const char c = tokens_.nextChar();
            if (c == '\0') return fail(kErrMissingValueEnd);
            if (c == '"') return true;
            if (c == '&') {
                if (!readEntity(value, kErrMissingValueEnd)) return false;
            } else {
                value.push_back(c);
            }
        }
    }

    // Reads character data up to the element's end tag or the start of a child.
    Content readContent(XmlElement* element) {
        std::string& text = element->text;
        for (;;) {
            const char c = tokens_.nextChar();
            switch (c) {
            case '\0':  // the text ended inside the content
            case '>':   // a bare '>' is not accepted as character data
                return fail(kErrMissingEndTag, Content::Failed);
            case '&':
                if (!readEntity(text, kErrMissingEndTag)) return Content::Failed;
                break;
            case '<': {
                const char next = tokens_.nextChar();
                if (next == '/') return readEndTag(element);
                // At the end of the text there is no byte to put back; stepping back
                // would re-read the '<' itself as the child's name.
                if (next != '\0') tokens_.ungetChar();
                return Content::ChildFollows;
            }
            default:
                // Leading whitespace is dropped; once text has begun, every byte counts.
                if (!text.empty() || !isContentWhitespace(c)) text.push_back(c);
                break;
            }
        }
    }

    Content readEndTag(const XmlElement* element) {
        const char* token = tokens_.nextToken();
        if (!token || std::strcmp(token, element->name) != 0) return fail(kErrEndTagMismatch, Content::Failed);
        token = tokens_.nextToken();
        if (!token || token[0] != '>') return fail(kErrMissingClosing, Content::Failed);
        return Content::Closed;
    }

    // Entered after '&'; the name runs to the next ';', whatever bytes it holds.
    bool readEntity(std::string& out, const char* endedEarlyMessage) {
        std::string name;
        for (;;) {
            const char c = tokens_.nextChar();
            if (c == '\0') return fail(endedEarlyMessage);
            if (c == ';') break;
            name.push_back(c);
        }
        if (name == "lt") {
            out.push_back('<');
        } else if (name == "amp") {
            out.push_back('&');
        } else if (name == "gt") {
            out.push_back('>');
        } else if (name == "quot") {
            out.push_back('"');
        } else {
            error_ = "Error. Unsupported entity &" + name + ";.";
            return false;
        }
        return true;
    }

    XmlDocument& document_;
    std::string& error_;
    Tokenizer tokens_;
};

}  // namespace

const XmlElement* XmlElement::findChild(const char* internedName) const {
    for (const auto& child : children)
        if (child->name == internedName) return child.get();
    return nullptr;
}

const XmlAttribute* XmlElement::findAttribute(const char* internedName) const {
    for (const auto& attribute : attributes)
        if (attribute->name == internedName) return attribute.get();
    return nullptr;
}

bool isFlagSet(const XmlAttribute* attribute) { return attribute && attribute->value == "true"; }

XmlDocument::XmlDocument() : names_(1000) { root_.name = intern(""); }

XmlDocument::~XmlDocument() {
    // The implicit destructors would recurse once per nesting level. Detach children
    // first so that every element is destroyed childless.
    std::vector<std::unique_ptr<XmlElement>> pending;
    pending.swap(root_.children);
    while (!pending.empty()) {
        std::unique_ptr<XmlElement> element = std::move(pending.back());
        pending.pop_back();
        for (auto& child : element->children) pending.push_back(std::move(child));
        element->children.clear();
    }
}

int XmlDocument::parse(const char* text, std::string& error) { return Parser(*this, error).run(text); }

const char* XmlDocument::intern(const char* name) {
    const std::size_t length = std::strlen(name) + 1;
    if (NameTable::Entry* entry = names_.find(name, length)) return entry->key;
    return names_.insertOrSet(name, length, 1)->key;
}
