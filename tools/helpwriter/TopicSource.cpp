#include "tools/helpwriter/TopicSource.h"

#include <cstdint>
#include <cstdio>
#include <sstream>

#include "tools/helpwriter/ByteWriter.h"

namespace kestrix {

namespace {

struct Line {
    std::string text;
    int number;
};

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

[[noreturn]] void Fail(const std::string& where, int line, const std::string& message) {
    throw HelpWriterError(where + ":" + std::to_string(line) + ": " + message);
}

std::vector<Line> SplitLines(const std::string& source) {
    std::vector<Line> lines;
    std::istringstream in(source);
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        lines.push_back({text, ++number});
    }
    return lines;
}

// The length of a numbered item's marker ("12. "), or 0 when the line is no such item.
size_t NumberedMarkerLength(const std::string& line) {
    size_t digits = 0;
    while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
    if (digits == 0 || line.compare(digits, 2, ". ") != 0) return 0;
    return digits + 2;
}

std::vector<Span> ParseInline(const std::string& text, const std::string& where, int line) {
    std::vector<Span> spans;
    bool bold = false;
    std::string current;
    auto flush = [&] {
        if (!current.empty()) spans.push_back({current, bold, {}});
        current.clear();
    };
    for (size_t i = 0; i < text.size();) {
        if (text.compare(i, 2, "**") == 0) {
            flush();
            bold = !bold;
            i += 2;
        } else if (text[i] == '[') {
            size_t close = text.find("](#", i);
            size_t end = close == std::string::npos ? close : text.find(')', close);
            if (end == std::string::npos) Fail(where, line, "a jump must read [text](#context_id)");
            std::string label = text.substr(i + 1, close - i - 1);
            std::string target = text.substr(close + 3, end - close - 3);
            if (label.empty() || !IsValidContextId(target))
                Fail(where, line, "bad jump [" + label + "](#" + target + ")");
            flush();
            spans.push_back({ToWindows1252(label, where), bold, target});
            i = end + 1;
        } else {
            current += text[i++];
        }
    }
    flush();
    if (bold) Fail(where, line, "** is not closed in this paragraph");
    for (Span& span : spans) {
        if (span.jumpTarget.empty()) span.text = ToWindows1252(span.text, where);
    }
    return spans;
}

// Joins continuation lines into the text of the paragraph they belong to.
void AppendLine(std::string& text, const std::string& line) {
    if (!text.empty()) text += ' ';
    text += Trim(line);
}

void ParseHeader(const std::vector<Line>& lines, size_t& next, Topic& topic) {
    for (; next < lines.size() && !Trim(lines[next].text).empty(); ++next) {
        const Line& line = lines[next];
        size_t colon = line.text.find(':');
        if (colon == std::string::npos)
            Fail(topic.sourceName, line.number, "expected \"Key: value\" before the first blank line");
        std::string key = Trim(line.text.substr(0, colon));
        std::string value = Trim(line.text.substr(colon + 1));
        if (key == "Context") {
            topic.contextId = value;
        } else if (key == "Title") {
            topic.title = ToWindows1252(value, topic.sourceName);
        } else if (key == "Keywords") {
            std::istringstream in(value);
            std::string keyword;
            while (std::getline(in, keyword, ';')) {
                if (!Trim(keyword).empty()) topic.keywords.push_back(ToWindows1252(Trim(keyword), topic.sourceName));
            }
        } else {
            Fail(topic.sourceName, line.number, "unknown key " + key);
        }
    }
    if (!IsValidContextId(topic.contextId))
        Fail(topic.sourceName, 1, "missing or bad Context: \"" + topic.contextId + "\"");
    if (topic.title.empty()) Fail(topic.sourceName, 1, "missing Title");
}

// A list block: every line starts an item or continues the one before it.
void ParseList(const std::vector<Line>& block, Topic& topic) {
    std::string text;
    Paragraph item;
    int itemLine = 0;
    auto finish = [&] {
        if (itemLine != 0) {
            item.spans = ParseInline(text, topic.sourceName, itemLine);
            topic.paragraphs.push_back(item);
        }
    };
    for (const Line& line : block) {
        size_t numbered = NumberedMarkerLength(line.text);
        if (StartsWith(line.text, "- ") || numbered != 0) {
            finish();
            item = Paragraph{};
            item.kind = numbered != 0 ? ParagraphKind::Numbered : ParagraphKind::Bullet;
            item.marker = numbered != 0 ? line.text.substr(0, numbered - 1) : "";
            text = Trim(line.text.substr(numbered != 0 ? numbered : 2));
            itemLine = line.number;
        } else if (StartsWith(line.text, "  ") && itemLine != 0) {
            AppendLine(text, line.text);
        } else {
            Fail(topic.sourceName, line.number, "a list line must start with \"- \", \"N. \" or two spaces");
        }
    }
    finish();
}

void ParseBlock(const std::vector<Line>& block, Topic& topic) {
    const Line& first = block.front();
    if (StartsWith(first.text, "## ")) {
        if (block.size() != 1) Fail(topic.sourceName, first.number, "a heading is one line followed by a blank line");
        Paragraph heading;
        heading.kind = ParagraphKind::Heading;
        heading.spans = ParseInline(Trim(first.text.substr(3)), topic.sourceName, first.number);
        topic.paragraphs.push_back(heading);
    } else if (StartsWith(first.text, "- ") || NumberedMarkerLength(first.text) != 0) {
        ParseList(block, topic);
    } else {
        std::string text;
        for (const Line& line : block) AppendLine(text, line.text);
        Paragraph paragraph;
        paragraph.spans = ParseInline(text, topic.sourceName, first.number);
        topic.paragraphs.push_back(paragraph);
    }
}

// One code point from UTF-8, or -1 for a malformed sequence.
int32_t DecodeUtf8(const std::string& text, size_t& i) {
    auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
    uint8_t lead = byte(i);
    size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > text.size()) return -1;
    int32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return -1;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    i += length;
    return code;
}

// The characters of 0x80..0x9F in code page 1252 that typography needs; the rest of that
// range is left out on purpose.
int Windows1252Extra(int32_t code) {
    switch (code) {
        case 0x20AC:
            return 0x80;  // euro
        case 0x2026:
            return 0x85;  // ellipsis
        case 0x2018:
            return 0x91;
        case 0x2019:
            return 0x92;
        case 0x201C:
            return 0x93;
        case 0x201D:
            return 0x94;
        case 0x2022:
            return 0x95;  // bullet
        case 0x2013:
            return 0x96;  // en dash
        case 0x2014:
            return 0x97;  // em dash
        case 0x2122:
            return 0x99;  // trade mark
        default:
            return -1;
    }
}

}  // namespace

bool IsValidContextId(const std::string& id) {
    if (id.empty() || id.size() > 255) return false;
    for (char c : id) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '.';
        if (!ok) return false;
    }
    return true;
}

std::string ToWindows1252(const std::string& utf8, const std::string& where) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        int32_t code = DecodeUtf8(utf8, i);
        if (code < 0) throw HelpWriterError(where + ": malformed UTF-8");
        int mapped = (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) ? code : Windows1252Extra(code);
        if (mapped < 0 || (mapped < 0x20 && mapped != '\t')) {
            char name[16];
            std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(code));
            throw HelpWriterError(where + ": character " + name + " cannot go into a help text");
        }
        out += static_cast<char>(mapped == '\t' ? ' ' : mapped);
    }
    return out;
}

Topic ParseTopic(const std::string& source, const std::string& sourceName) {
    Topic topic;
    topic.sourceName = sourceName;
    std::vector<Line> lines = SplitLines(source);
    size_t next = 0;
    ParseHeader(lines, next, topic);

    std::vector<Line> block;
    for (; next <= lines.size(); ++next) {
        bool blank = next == lines.size() || Trim(lines[next].text).empty();
        if (!blank) {
            block.push_back(lines[next]);
        } else if (!block.empty()) {
            ParseBlock(block, topic);
            block.clear();
        }
    }
    if (topic.paragraphs.empty()) Fail(sourceName, 1, "the topic has no text");
    return topic;
}

}  // namespace kestrix
