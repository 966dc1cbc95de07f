#include "swf/TextParser.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace kestrix::swf {

namespace {

// Glyph shapes sit between offsets measured from the start of the offset table.
bool ReadGlyphShapes(const uint8_t* table, size_t tableSize, const std::vector<uint32_t>& offsets, size_t shapesEnd,
                     FontCharacter& font, ParseBudget& budget) {
    const size_t count = offsets.size();
    if (static_cast<int64_t>(count) > budget.glyphsLeft) return false;
    budget.glyphsLeft -= static_cast<int64_t>(count);
    font.glyphs.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const size_t begin = offsets[i];
        const size_t end = i + 1 < count ? offsets[i + 1] : shapesEnd;
        if (begin >= end || end > tableSize) continue;  // an empty or broken glyph draws nothing
        Reader glyphReader(table + begin, end - begin);
        ParseGlyphShape(glyphReader, font.glyphs[i].shape, budget);
    }
    return true;
}

// Removes HTML markup, turning paragraph ends and breaks into new lines.
std::string PlainText(const std::string& html) {
    std::string out;
    size_t i = 0;
    while (i < html.size()) {
        const char c = html[i];
        if (c == '<') {
            const size_t close = html.find('>', i);
            if (close == std::string::npos) break;
            std::string tag = html.substr(i + 1, close - i - 1);
            std::transform(tag.begin(), tag.end(), tag.begin(),
                           [](char ch) { return static_cast<char>(std::tolower(static_cast<unsigned char>(ch))); });
            if (tag == "br" || tag == "br/" || tag == "br /" || tag == "/p") out += '\n';
            i = close + 1;
            continue;
        }
        if (c == '&') {
            static const std::pair<const char*, char> kEntities[] = {
                {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&nbsp;", ' '}};
            bool matched = false;
            for (const auto& [name, value] : kEntities) {
                const std::string entity(name);
                if (html.compare(i, entity.size(), entity) == 0) {
                    out += value;
                    i += entity.size();
                    matched = true;
                    break;
                }
            }
            if (matched) continue;
        }
        out += c;
        ++i;
    }
    if (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

// UTF-8 (movies from version 6 on) or one byte a character; bad sequences fall back to bytes.
std::vector<uint16_t> Decode(const std::string& text, bool utf8) {
    // The field lays its text out every frame: more than this is never shown anyway.
    constexpr size_t kMaxCharacters = 16384;
    std::vector<uint16_t> codes;
    for (size_t i = 0; i < text.size() && codes.size() < kMaxCharacters;) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (utf8 && c >= 0xC0 && c < 0xF0) {
            const size_t extra = c >= 0xE0 ? 2 : 1;
            if (i + extra < text.size()) {
                uint32_t code = c & (extra == 2 ? 0x0F : 0x1F);
                bool ok = true;
                for (size_t k = 1; k <= extra && ok; ++k) {
                    const unsigned char next = static_cast<unsigned char>(text[i + k]);
                    ok = (next & 0xC0) == 0x80;
                    code = code << 6 | (next & 0x3F);
                }
                if (ok) {
                    codes.push_back(static_cast<uint16_t>(code));
                    i += extra + 1;
                    continue;
                }
            }
        }
        codes.push_back(c);
        ++i;
    }
    return codes;
}

}  // namespace

int Timeline::FrameForLabel(const std::string& label) const {
    for (const auto& entry : labels)
        if (entry.first.size() == label.size() &&
            std::equal(entry.first.begin(), entry.first.end(), label.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
            }))
            return entry.second;
    return -1;
}

bool ParseDefineFont(Reader& reader, FontCharacter& font, ParseBudget& budget) {
    font.id = reader.U16();
    const uint8_t* tableStart = reader.Current();
    const size_t tableSize = reader.Remaining();
    Reader table(tableStart, tableSize);
    const uint16_t first = table.U16();
    const size_t count = first / 2;
    std::vector<uint32_t> offsets(count);
    if (count > 0) offsets[0] = first;
    for (size_t i = 1; i < count; ++i) offsets[i] = table.U16();
    if (table.Failed()) return false;
    return ReadGlyphShapes(tableStart, tableSize, offsets, tableSize, font, budget);
}

bool ParseDefineFont2(Reader& reader, int fontVersion, FontCharacter& font, ParseBudget& budget) {
    font.id = reader.U16();
    const uint8_t flags = reader.U8();
    const bool hasLayout = (flags & 0x80) != 0;
    const bool wideOffsets = (flags & 0x08) != 0;
    const bool wideCodes = (flags & 0x04) != 0;
    reader.U8();  // language
    const uint8_t nameLength = reader.U8();
    const uint8_t* name = reader.Bytes(nameLength);
    if (name != nullptr) font.name.assign(reinterpret_cast<const char*>(name), nameLength);
    const size_t count = reader.U16();
    if (reader.Failed()) return false;
    font.emSize = fontVersion >= 3 ? 20480 : 1024;

    const uint8_t* tableStart = reader.Current();
    const size_t tableSize = reader.Remaining();
    std::vector<uint32_t> offsets(count);
    for (uint32_t& offset : offsets) offset = wideOffsets ? reader.U32() : reader.U16();
    const uint32_t codeTableOffset = wideOffsets ? reader.U32() : reader.U16();
    if (reader.Failed()) return false;
    const size_t shapesEnd = std::min<size_t>(codeTableOffset, tableSize);
    if (!ReadGlyphShapes(tableStart, tableSize, offsets, shapesEnd, font, budget)) return false;

    Reader rest(tableStart, tableSize);
    rest.Skip(std::min<size_t>(codeTableOffset, tableSize));
    for (Glyph& glyph : font.glyphs) glyph.code = wideCodes ? rest.U16() : rest.U8();
    font.IndexCodes();
    if (hasLayout) {
        font.hasLayout = true;
        font.ascent = rest.U16();
        font.descent = rest.U16();
        font.leading = rest.S16();
        for (Glyph& glyph : font.glyphs) glyph.advance = rest.S16();
        // Glyph bounds and kerning follow; nothing here draws with them.
    }
    return true;
}

void ParseDefineFontInfo(Reader& reader, int infoVersion, FontCharacter& font) {
    const uint8_t nameLength = reader.U8();
    reader.Skip(nameLength);
    const uint8_t flags = reader.U8();
    if (infoVersion >= 2) reader.U8();  // language
    const bool wideCodes = (flags & 0x01) != 0;
    for (Glyph& glyph : font.glyphs) glyph.code = wideCodes ? reader.U16() : reader.U8();
    font.IndexCodes();
}

bool ParseDefineText(Reader& reader, int textVersion, TextCharacter& text, ParseBudget& budget) {
    text.id = reader.U16();
    text.bounds = reader.ReadRect();
    text.matrix = reader.ReadMatrix();
    const int glyphBits = reader.U8();
    const int advanceBits = reader.U8();
    if (glyphBits > 32 || advanceBits > 32) return false;
    TextRecord state;
    while (!reader.Failed()) {
        const uint8_t flags = reader.U8();
        if (flags == 0) break;
        TextRecord record = state;
        record.glyphs.clear();
        if (flags & 0x08) record.fontId = reader.U16();
        if (flags & 0x04) record.color = textVersion >= 2 ? reader.Rgba() : reader.Rgb();
        if (flags & 0x01) record.x = reader.S16();
        if (flags & 0x02) record.y = reader.S16();
        if (flags & 0x08) record.height = reader.U16();
        const int count = reader.U8();
        if (count > budget.glyphsLeft) return false;
        budget.glyphsLeft -= count;
        record.glyphs.resize(count);
        double x = record.x;
        for (GlyphEntry& entry : record.glyphs) {
            entry.index = static_cast<int>(reader.Bits(glyphBits));
            entry.advance = reader.SignedBits(advanceBits);
            x += entry.advance;
        }
        reader.AlignToByte();
        text.records.push_back(record);
        // The next record goes on where this one's glyphs ended.
        state = record;
        state.x = x;
    }
    return !reader.Failed() || !text.records.empty();
}

bool ParseDefineEditText(Reader& reader, int movieVersion, EditTextCharacter& field) {
    field.id = reader.U16();
    field.bounds = reader.ReadRect();
    const uint8_t flags1 = reader.U8();
    const uint8_t flags2 = reader.U8();
    const bool hasText = (flags1 & 0x80) != 0;
    field.wordWrap = (flags1 & 0x40) != 0;
    field.multiline = (flags1 & 0x20) != 0;
    const bool hasColor = (flags1 & 0x04) != 0;
    const bool hasMaxLength = (flags1 & 0x02) != 0;
    field.hasFont = (flags1 & 0x01) != 0;
    const bool hasFontClass = (flags2 & 0x80) != 0;
    const bool hasLayout = (flags2 & 0x20) != 0;
    field.border = (flags2 & 0x08) != 0;
    field.html = (flags2 & 0x02) != 0;
    field.useOutlines = (flags2 & 0x01) != 0;
    if (field.hasFont) field.fontId = reader.U16();
    if (hasFontClass) reader.String();
    if (field.hasFont || hasFontClass) field.height = reader.U16();
    if (hasColor) field.color = reader.Rgba();
    if (hasMaxLength) reader.U16();
    if (hasLayout) {
        field.align = reader.U8();
        field.leftMargin = reader.U16();
        field.rightMargin = reader.U16();
        field.indent = reader.U16();
        field.leading = reader.S16();
    }
    reader.String();  // variable name
    if (hasText) {
        const std::string text = reader.String();
        field.codes = Decode(field.html ? PlainText(text) : text, movieVersion >= 6);
    }
    return !reader.Failed();
}

}  // namespace kestrix::swf
