#pragma once
// A document in a temporary folder, and records and exports over it, for the exchange tests.

#include <memory>
#include <string>
#include <vector>

#include "core/document_fixture.h"
#include "exchange/range_export.h"

namespace almx::testing {

inline CAlmxData Schedule(const std::string& title, DateTime start, DateTime end) {
    CAlmxData r;
    r.title = title;
    r.start = start;
    r.end = end;
    r.alarmMinutes = -1;
    return r;
}

inline DateTime Day(int y, int m, int d) {
    return DateTime::FromDate(y, m, d);
}
inline DateTime At(int y, int m, int d, int h, int min) {
    return DateTime::FromParts(y, m, d, h, min);
}

// Splits the text into lines at "\n" (a CR before it kept), the last empty piece dropped.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return lines;
}

class ClipboardRecorder : public ClipboardSink {
  public:
    void SetText(const std::string& value) override {
        text = value;
        ++sets;
    }
    std::string text;
    int sets = 0;
};

class ExchangeTest : public DocumentTest {
  protected:
    void SetUp() override {
        DocumentTest::SetUp();
        doc = std::make_unique<CAlmxDoc>(Context());
        doc->Array().genres = CAlmxFieldArray::General();
    }

    CAlmxData& Add(CAlmxData record) { return doc->Records().push_back(std::move(record)); }

    DayCellSource Source() { return DayCellSource{doc->Records(), &doc->Array().genres, nullptr}; }
    ExportEnvironment Environment() { return ExportEnvironment{settings, clock, prompter}; }

    std::unique_ptr<CAlmxDoc> doc;
};

}  // namespace almx::testing
