// Any text given to the opening-tag parser is refused or read; a tag it reads writes back as
// a tag that reads to the same name and attributes.
#include <string>

#include "exchange/html_element.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto element = almx::CHtmlElement::Parse(text);
    if (!element) return 0;
    const auto again = almx::CHtmlElement::Parse(element->OpenTag());
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(again->Tag() == element->Tag());
    FUZZ_CHECK(again->SelfClosing() == element->SelfClosing());
    FUZZ_CHECK(again->Attributes().size() == element->Attributes().size());
    for (std::size_t i = 0; i < again->Attributes().size(); ++i) {
        FUZZ_CHECK(again->Attributes()[i].name == element->Attributes()[i].name);
        FUZZ_CHECK(again->Attributes()[i].value == element->Attributes()[i].value);
    }
    element->ToString(true);
    return 0;
}
