// Hostile diary text on a page: nothing of the text becomes markup; the only tags are the
// paragraph and line marks the page adds.
#include <string>

#include "fuzz_check.h"
#include "reminders/diary_html.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\x01');
    const std::string heading = split == std::string::npos ? "" : input.substr(0, split);
    const std::string text = split == std::string::npos ? input : input.substr(split + 1);
    std::string html = almx::DiaryParagraphHtml(text, heading);
    for (const char* mark : {"<P>", "<BR>"}) {
        for (std::size_t at; (at = html.find(mark)) != std::string::npos;)
            html.erase(at, std::string(mark).size());
    }
    FUZZ_CHECK(html.find('<') == std::string::npos);
    FUZZ_CHECK(html.find('>') == std::string::npos);
    FUZZ_CHECK(html.find('"') == std::string::npos);
    return 0;
}
