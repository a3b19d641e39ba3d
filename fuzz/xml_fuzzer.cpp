// Fuzz target: the XML reader on arbitrary text, then every lookup the program makes.
#include "skin/xml/xml_parser.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Bytes up to the first zero, widened as the program widens ANSI text.
    std::vector<wchar_t> text;
    text.reserve(size + 1);
    for (size_t i = 0; i < size && data[i]; ++i) text.push_back(static_cast<wchar_t>(data[i]));
    text.push_back(0);
    pug::xml_parser parser;
    parser.parse(text.data());
    pug::xml_node doc = parser.document();
    wchar_t buffer[256];
    for (const wchar_t* key : {L"APPNAME", L"colors", L"body_text", L"a", L"xml"}) {
        pug::xml_node node = doc.find_element(key);
        node.text(buffer, 255);
        for (size_t i = 0; i < node.child_count(); ++i) node.child(i).text(buffer, 255);
    }
    return 0;
}
