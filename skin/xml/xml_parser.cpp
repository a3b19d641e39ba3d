// The in-place XML reader: one pass over the caller's text, zeros written to cut names and values.
#include "skin/xml/xml_parser.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>
#include <vector>

namespace pug {
namespace {

inline bool is_space(wchar_t c) { return c > 0 && c <= 32; }

inline bool is_name_char(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'-' ||
           c == L'.' || c == L':' || c == L'_' || static_cast<uint32_t>(c) >= 0x80;
}

inline bool starts_with(const wchar_t* s, const wchar_t* prefix) {
    for (; *prefix; ++s, ++prefix)
        if (*s != *prefix) return false;
    return true;
}

// Finds `marker` at or after s; null when the text ends first.
wchar_t* find(wchar_t* s, const wchar_t* marker) {
    for (; *s; ++s)
        if (starts_with(s, marker)) return s;
    return nullptr;
}

// Whitespace normalisation of [begin, end): leading and trailing characters 1..32 dropped, inner
// runs of them turned into one space. Writes the terminating zero (at most at `end`).
wchar_t* normalise(wchar_t* begin, wchar_t* end) {
    wchar_t* out = begin;
    wchar_t* in = begin;
    while (in < end && is_space(*in)) ++in;
    while (in < end) {
        if (is_space(*in)) {
            while (in < end && is_space(*in)) ++in;
            if (in < end) *out++ = L' ';
        } else {
            *out++ = *in++;
        }
    }
    *out = 0;
    return begin;
}

// Arrays start with room for one entry and grow by `growby`.
template <typename T> bool append(T*& items, size_t& count, size_t& space, const T& item, size_t growby) {
    if (count == space) {
        size_t next = space == 0 ? 1 : space + growby;
        T* grown = static_cast<T*>(std::realloc(items, next * sizeof(T)));
        if (!grown) return false;
        items = grown;
        space = next;
    }
    items[count++] = item;
    return true;
}

class Builder {
public:
    Builder(xml_node_struct* root, size_t growby) : cur_(root), growby_(growby) {}

    xml_node_struct* add(xml_node_type type) {
        auto* node = new (std::nothrow) xml_node_struct;
        if (!node) return nullptr;
        node->type = type;
        node->parent = cur_;
        if (!append(cur_->children, cur_->child_count, cur_->child_space, node, growby_)) {
            delete node;
            return nullptr;
        }
        return node;
    }
    void open(xml_node_struct* node) { cur_ = node; }
    void close() { cur_ = cur_->parent; }  // the document node is its own parent
    void add_attribute(xml_node_struct* node, wchar_t* name, wchar_t* value) {
        append(node->attributes, node->attribute_count, node->attribute_space, xml_attribute_struct{name, value},
               growby_);
    }

private:
    xml_node_struct* cur_;
    size_t growby_;
};

// Parses name="value" pairs up to the tag end. Returns the position after the tag end, or null
// when the text ended inside the tag. `closed` tells whether the tag ended with "/>" or "?>".
wchar_t* parse_attributes(Builder& b, xml_node_struct* node, wchar_t* s, wchar_t end_mark, bool& closed) {
    closed = false;
    for (;;) {
        while (is_space(*s)) ++s;
        if (*s == 0) return nullptr;
        if (*s == L'>') return s + 1;
        if (*s == end_mark) {
            if (s[1] == L'>') {
                closed = true;
                return s + 2;
            }
            ++s;
            continue;
        }
        if (!is_name_char(*s)) {  // stray character: skipped
            ++s;
            continue;
        }
        wchar_t* name = s;
        while (is_name_char(*s)) ++s;
        wchar_t* name_end = s;
        while (is_space(*s)) ++s;
        if (*s != L'=') {  // an attribute without a value is dropped
            continue;
        }
        *name_end = 0;
        ++s;
        while (is_space(*s)) ++s;
        wchar_t quote = *s;
        if (quote != L'"' && quote != L'\'') continue;
        wchar_t* value = ++s;
        while (*s && *s != quote) ++s;
        if (*s == 0) return nullptr;
        b.add_attribute(node, name, normalise(value, s));
        ++s;
    }
}

// Reads an element or processing-instruction name at s; writes its terminator and returns the
// character that stood there, with s moved past the name.
wchar_t cut_name(wchar_t*& s) {
    while (is_name_char(*s)) ++s;
    wchar_t c = *s;
    if (c) *s++ = 0;
    return c;
}

}  // namespace

xml_node xml_node::find_element(const wchar_t* name) const {
    if (!name) return xml_node();
    // Pre-order walk with an explicit stack: deep documents cannot exhaust the call stack.
    std::vector<std::pair<xml_node_struct*, size_t>> stack;
    stack.emplace_back(node_, 0);
    while (!stack.empty()) {
        auto& [node, next] = stack.back();
        if (next == node->child_count) {
            stack.pop_back();
            continue;
        }
        xml_node_struct* child = node->children[next++];
        if (child->name && std::wcscmp(child->name, name) == 0) return xml_node(child);
        if (child->child_count) stack.emplace_back(child, 0);
    }
    return xml_node();
}

xml_node xml_node::child(size_t index) const {
    return index < node_->child_count ? xml_node(node_->children[index]) : xml_node();
}

bool xml_node::text(wchar_t* buffer, size_t limit) const {
    for (size_t i = 0; i < node_->child_count; ++i) {
        const wchar_t* v = node_->children[i]->value;
        if (!v) continue;
        size_t n = 0;
        for (; n < limit && v[n]; ++n) buffer[n] = v[n];
        buffer[n] = 0;
        return true;
    }
    return false;
}

xml_parser::~xml_parser() { free_tree(); }

void xml_parser::free_tree() {
    if (!root_ || !owner_) {
        root_ = nullptr;
        return;
    }
    std::vector<xml_node_struct*> pending{root_};
    while (!pending.empty()) {
        xml_node_struct* node = pending.back();
        pending.pop_back();
        for (size_t i = 0; i < node->child_count; ++i) pending.push_back(node->children[i]);
        std::free(node->children);
        std::free(node->attributes);
        delete node;
    }
    root_ = nullptr;
}

wchar_t* xml_parser::parse(wchar_t* s, unsigned long options) {
    if (!s) return nullptr;
    if (!(options & parse_keep_options)) options_ = options;
    free_tree();
    root_ = new (std::nothrow) xml_node_struct;
    if (!root_) return s;
    root_->type = node_document;
    root_->parent = root_;
    Builder b(root_, growby_);

    // Anything before the first "<" is skipped. Each round starts just after a "<".
    wchar_t* first = std::wcschr(s, L'<');
    if (!first) return s + std::wcslen(s);
    s = first + 1;
    for (;;) {
        wchar_t* after = nullptr;  // position after this construct
        if (starts_with(s, L"!--")) {
            wchar_t* begin = s + 3;
            wchar_t* end = find(begin, L"-->");
            if (!end) return s;
            if (auto* n = b.add(node_comment)) n->value = normalise(begin, end);
            after = end + 3;
        } else if (starts_with(s, L"![CDATA[") || starts_with(s, L"![INCLUDE[")) {
            bool cdata = s[2] == L'C';
            wchar_t* begin = s + (cdata ? 8 : 10);
            wchar_t* end = find(begin, L"]]>");
            if (!end) return s;
            if (auto* n = b.add(cdata ? node_cdata : node_include)) n->value = normalise(begin, end);
            after = end + 3;
        } else if (starts_with(s, L"!DOCTYPE")) {
            xml_node_struct* doctype = b.add(node_doctype);
            wchar_t* p = s + 8;
            while (*p && *p != L'[' && *p != L'>') ++p;
            if (!*p) return s;
            if (*p == L'[') {
                // Internal subset: each "<!KIND ...>" becomes a nameless declaration node.
                if (doctype) b.open(doctype);
                for (;;) {
                    while (*p && *p != L'<' && *p != L']') ++p;
                    if (!*p) return s;
                    if (*p == L']') break;
                    wchar_t* decl = p + 1;
                    wchar_t* end = decl;
                    while (*end && *end != L'>') ++end;
                    if (!*end) return s;
                    xml_node_type kind = starts_with(decl, L"!ATTLIST") ? node_dtd_attlist
                                         : starts_with(decl, L"!ELEMENT") ? node_dtd_element
                                         : starts_with(decl, L"!ENTITY") ? node_dtd_entity
                                         : starts_with(decl, L"!NOTATION") ? node_dtd_notation
                                                                           : node_comment;
                    if (auto* n = b.add(kind)) n->value = normalise(decl, end);
                    p = end + 1;
                }
                if (doctype) b.close();
                while (*p && *p != L'>') ++p;
                if (!*p) return s;
            }
            if (doctype) doctype->value = nullptr;
            after = p + 1;
        } else if (*s == L'!') {  // any other declaration: skipped
            wchar_t* end = std::wcschr(s, L'>');
            if (!end) return s;
            after = end + 1;
        } else if (*s == L'?') {
            wchar_t* p = s + 1;
            xml_node_struct* pi = b.add(node_pi);
            if (pi && is_name_char(*p)) {
                pi->name = p;
                wchar_t c = cut_name(p);
                if (c == 0) return p;
                if (c == L'?' && *p == L'>') {
                    after = p + 1;
                } else if (c == L'>') {
                    after = p;
                } else {
                    bool closed;
                    after = parse_attributes(b, pi, p, L'?', closed);
                    if (!after) return p;
                }
            } else {
                wchar_t* end = find(p, L"?>");
                if (!end) return s;
                after = end + 2;
            }
        } else if (*s == L'/') {
            wchar_t* end = std::wcschr(s, L'>');
            if (!end) return s;
            b.close();
            after = end + 1;
        } else if (is_name_char(*s)) {
            xml_node_struct* element = b.add(node_element);
            wchar_t* p = s;
            wchar_t* name = p;
            wchar_t c = cut_name(p);
            if (element) element->name = name;
            bool closed = false;
            if (c == 0) {
                return p;
            } else if (c == L'>') {
                after = p;
            } else if (c == L'/' && *p == L'>') {
                closed = true;
                after = p + 1;
            } else {
                after = element ? parse_attributes(b, element, p, L'/', closed) : std::wcschr(p, L'>');
                if (!after) return p;
                if (!element) after++;
            }
            if (element && !closed) b.open(element);
        } else {
            after = s;  // a "<" that starts nothing is text
        }

        // Text up to the next "<": a node unless it is whitespace only.
        wchar_t* p = after;
        while (is_space(*p)) ++p;
        wchar_t* next = std::wcschr(p, L'<');
        wchar_t* end = next ? next : p + std::wcslen(p);
        if (p < end) {
            if (auto* n = b.add(node_pcdata)) n->value = normalise(p, end);
        }
        if (!next) return end;
        *next = 0;  // the "<" was read; the text (if any) ends here
        s = next + 1;
    }
}

}  // namespace pug
