// In-place, non-validating XML reader for the program's small configuration files.
#pragma once
#include <cstddef>
#include <cstdint>

namespace pug {

enum xml_node_type : int {
    node_null = 0,
    node_document = 1,
    node_element = 2,
    node_pcdata = 3,
    node_cdata = 4,
    node_comment = 5,
    node_pi = 6,
    node_include = 7,
    node_doctype = 8,
    node_dtd_attlist = 9,
    node_dtd_element = 10,
    node_dtd_entity = 11,
    node_dtd_notation = 12,
};

struct xml_attribute_struct {
    wchar_t* name = nullptr;
    wchar_t* value = nullptr;
};

// One node. Names and values point into the caller's text.
struct xml_node_struct {
    xml_node_struct* parent = nullptr;
    wchar_t* name = nullptr;
    xml_node_type type = node_null;
    size_t attribute_count = 0, attribute_space = 0;
    xml_attribute_struct* attributes = nullptr;
    size_t child_count = 0, child_space = 0;
    xml_node_struct** children = nullptr;
    wchar_t* value = nullptr;
};

// A light handle on a node; an empty handle finds nothing and has no text.
class xml_node {
public:
    xml_node() : node_(&empty_) {}
    explicit xml_node(xml_node_struct* node) : node_(node ? node : &empty_) {}
    xml_node(const xml_node& other) : node_(other.empty() ? &empty_ : other.node_) {}
    xml_node& operator=(const xml_node& other) {
        node_ = other.empty() ? &empty_ : other.node_;
        return *this;
    }

    bool empty() const { return node_ == &empty_; }
    // First node below this one, depth first in document order, named exactly `name`.
    xml_node find_element(const wchar_t* name) const;
    xml_node child(size_t index) const;
    size_t child_count() const { return node_->child_count; }
    // Copies the value of the first child that has one, cut to `limit` characters, and
    // terminates it; the buffer holds at least limit + 1 characters. False when there is none.
    bool text(wchar_t* buffer, size_t limit) const;

    const wchar_t* name() const { return node_->name ? node_->name : L""; }
    const wchar_t* value() const { return node_->value ? node_->value : L""; }
    bool has_value() const { return node_->value != nullptr; }
    xml_node_type type() const { return node_->type; }
    size_t attribute_count() const { return node_->attribute_count; }
    const xml_attribute_struct* attribute(size_t index) const {
        return index < node_->attribute_count ? &node_->attributes[index] : nullptr;
    }

private:
    xml_node_struct* node_;
    xml_node_struct empty_;
};

// Owns one parsed tree; the parsed text belongs to the caller and must outlive it.
class xml_parser {
public:
    static constexpr unsigned long parse_default = 0xFFFF;
    static constexpr unsigned long parse_keep_options = 0x80000000ul;

    xml_parser() = default;
    ~xml_parser();
    xml_parser(const xml_parser&) = delete;
    xml_parser& operator=(const xml_parser&) = delete;

    // Parses `text` in place (writes terminating zeros into it). Null for a null text;
    // otherwise the position where parsing stopped. Malformed input leaves a partial tree.
    wchar_t* parse(wchar_t* text, unsigned long options = parse_keep_options);
    xml_node document() const { return xml_node(root_); }

private:
    void free_tree();

    xml_node_struct* root_ = nullptr;
    unsigned long growby_ = 4;
    bool owner_ = true;
    unsigned long options_ = parse_default;
};

}  // namespace pug
