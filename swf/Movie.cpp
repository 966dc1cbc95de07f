// Reading a whole movie: the header, then every tag into the dictionary or a timeline.
#include <algorithm>
#include <cstring>

#include "swf/Actions.h"
#include "swf/BitmapParser.h"
#include "swf/Characters.h"
#include "swf/Inflate.h"
#include "swf/Player.h"
#include "swf/Reader.h"
#include "swf/ShapeParser.h"
#include "swf/TextParser.h"

namespace kestrix::swf {

namespace {

// The most a compressed movie may unpack to; the header's own length is trusted only below it.
constexpr size_t kMaxMovieBytes = 64u * 1024 * 1024;
constexpr size_t kMaxFrames = 16000;
constexpr size_t kMaxOpsPerTimeline = 1'000'000;
constexpr double kDefaultFrameRate = 12;
constexpr size_t kMaxDefinitionsPerId = 4096;

enum TagCode : uint16_t {
    kTagEnd = 0,
    kTagShowFrame = 1,
    kTagDefineShape = 2,
    kTagPlaceObject = 4,
    kTagRemoveObject = 5,
    kTagDefineBits = 6,
    kTagDefineButton = 7,
    kTagJpegTables = 8,
    kTagSetBackgroundColor = 9,
    kTagDefineFont = 10,
    kTagDefineText = 11,
    kTagDoAction = 12,
    kTagDefineFontInfo = 13,
    kTagDefineBitsLossless = 20,
    kTagDefineBitsJpeg2 = 21,
    kTagDefineShape2 = 22,
    kTagPlaceObject2 = 26,
    kTagRemoveObject2 = 28,
    kTagDefineShape3 = 32,
    kTagDefineText2 = 33,
    kTagDefineButton2 = 34,
    kTagDefineBitsJpeg3 = 35,
    kTagDefineBitsLossless2 = 36,
    kTagDefineEditText = 37,
    kTagDefineSprite = 39,
    kTagFrameLabel = 43,
    kTagDefineMorphShape = 46,
    kTagDefineFont2 = 48,
    kTagDefineFontInfo2 = 62,
    kTagPlaceObject3 = 70,
    kTagDefineFont3 = 75,
    kTagDefineShape4 = 83,
    kTagDefineMorphShape2 = 84,
    kTagDefineBitsJpeg4 = 90,
};

// Skips a filter list (PlaceObject3 and button records): the filters are not drawn.
void SkipFilters(Reader& reader) {
    const int count = reader.U8();
    for (int i = 0; i < count && !reader.Failed(); ++i) {
        const uint8_t type = reader.U8();
        switch (type) {
            case 0: reader.Skip(23); break;  // drop shadow
            case 1: reader.Skip(9); break;   // blur
            case 2: reader.Skip(15); break;  // glow
            case 3: reader.Skip(27); break;  // bevel
            case 4:                          // gradient glow
            case 7: {                        // gradient bevel
                const int colors = reader.U8();
                reader.Skip(colors * 5 + 19);
                break;
            }
            case 5: {  // convolution
                const int columns = reader.U8();
                const int rows = reader.U8();
                reader.Skip(8 + 4 * columns * rows + 5);
                break;
            }
            case 6: reader.Skip(80); break;  // colour matrix
            default: reader.Fail(); break;
        }
    }
}

PlaceOp ReadPlaceObject(Reader& reader) {
    PlaceOp op;
    op.hasCharacter = true;
    op.hasMatrix = true;
    op.characterId = reader.U16();
    op.depth = reader.U16();
    op.matrix = reader.ReadMatrix();
    if (!reader.AtEnd()) {
        op.hasColorTransform = true;
        op.colorTransform = reader.ReadColorTransform(false);
    }
    return op;
}

// PlaceObject2 and 3 share their layout but for the second flag byte and its fields.
PlaceOp ReadPlaceObject2(Reader& reader, bool third) {
    PlaceOp op;
    const uint8_t flags = reader.U8();
    const uint8_t flags2 = third ? reader.U8() : 0;
    op.depth = reader.U16();
    op.move = (flags & 0x01) != 0;
    op.hasCharacter = (flags & 0x02) != 0;
    op.hasMatrix = (flags & 0x04) != 0;
    op.hasColorTransform = (flags & 0x08) != 0;
    op.hasRatio = (flags & 0x10) != 0;
    const bool hasName = (flags & 0x20) != 0;
    op.hasClipDepth = (flags & 0x40) != 0;
    if (third && ((flags2 & 0x08) != 0 || ((flags2 & 0x10) != 0 && op.hasCharacter))) reader.String();  // class
    if (op.hasCharacter) op.characterId = reader.U16();
    if (op.hasMatrix) op.matrix = reader.ReadMatrix();
    if (op.hasColorTransform) op.colorTransform = reader.ReadColorTransform(true);
    if (op.hasRatio) op.ratio = reader.U16();
    if (hasName) reader.String();
    if (op.hasClipDepth) op.clipDepth = reader.U16();
    if (third) {
        if (flags2 & 0x01) SkipFilters(reader);
        if (flags2 & 0x02) {
            op.hasBlendMode = true;
            op.blendMode = reader.U8();
        }
    }
    return op;
}

class MovieParser {
public:
    explicit MovieParser(MovieData& movie) : movie_(movie) {}

    void ParseTags(Reader& reader, Timeline& timeline, bool isMain) {
        Frame pending;
        bool pendingUsed = false;
        while (!reader.AtEnd() && !reader.Failed()) {
            const uint16_t header = reader.U16();
            const uint16_t code = header >> 6;
            size_t length = header & 0x3F;
            if (length == 0x3F) length = reader.U32();
            if (reader.Failed()) break;
            // A tag cut short by the end of the file is read as far as it goes.
            Reader body = reader.Sub(std::min(length, reader.Remaining()));
            if (code == kTagEnd) break;
            if (code == kTagShowFrame) {
                if (timeline.frames.size() >= kMaxFrames) break;
                if (isMain) ++frame_;
                timeline.frames.push_back(std::move(pending));
                pending = Frame();
                pendingUsed = false;
                continue;
            }
            if (ParseControlTag(code, body, timeline, pending, isMain)) {
                pendingUsed = true;
                continue;
            }
            // Definitions belong to the movie; a sprite that defines things is malformed.
            if (isMain) ParseDefinition(code, body);
        }
        // Tags after the last ShowFrame still make a frame, as players show them.
        if (pendingUsed && timeline.frames.size() < kMaxFrames) timeline.frames.push_back(std::move(pending));
        if (timeline.frames.empty()) timeline.frames.emplace_back();
    }

private:
    // Returns true when the tag belongs to the timeline.
    bool ParseControlTag(uint16_t code, Reader& body, Timeline& timeline, Frame& frame, bool isMain) {
        switch (code) {
            case kTagPlaceObject:
            case kTagPlaceObject2:
            case kTagPlaceObject3: {
                const PlaceOp op =
                    code == kTagPlaceObject ? ReadPlaceObject(body) : ReadPlaceObject2(body, code == kTagPlaceObject3);
                // A placement whose fields run past the tag is taken as far as it was read,
                // except when even the depth is missing.
                if (body.Position() >= 3 && AddOp(op)) frame.ops.push_back(op);
                return true;
            }
            case kTagRemoveObject:
            case kTagRemoveObject2: {
                PlaceOp op;
                op.remove = true;
                if (code == kTagRemoveObject) body.U16();
                op.depth = body.U16();
                if (!body.Failed() && AddOp(op)) frame.ops.push_back(op);
                return true;
            }
            case kTagDoAction: {
                std::vector<ActionOp> actions = ParseActions(body);
                frame.actions.insert(frame.actions.end(), actions.begin(), actions.end());
                return true;
            }
            case kTagFrameLabel: {
                const std::string label = body.String();
                if (!body.Failed()) timeline.labels.emplace_back(label, static_cast<int>(timeline.frames.size()));
                return true;
            }
            case kTagSetBackgroundColor:
                // The first colour the main timeline sets is the movie's.
                if (isMain && !backgroundSet_) {
                    const uint32_t color = body.Rgb();
                    if (!body.Failed()) {
                        movie_.background = color;
                        backgroundSet_ = true;
                    }
                }
                return true;
            default: return false;
        }
    }

    bool AddOp(const PlaceOp&) {
        if (opsLeft_ == 0) return false;
        --opsLeft_;
        return true;
    }

    void Define(std::shared_ptr<Character> character) {
        // A later frame may define an id again (after freeing it); within one frame the first
        // definition stands.
        auto& definitions = movie_.dictionary[character->id];
        if (!definitions.empty() && definitions.back().frame == frame_) return;
        if (definitions.size() >= kMaxDefinitionsPerId) return;
        definitions.push_back({frame_, std::move(character)});
    }

    void ParseDefinition(uint16_t code, Reader& body) {
        switch (code) {
            case kTagDefineShape:
            case kTagDefineShape2:
            case kTagDefineShape3:
            case kTagDefineShape4: {
                const int version = code == kTagDefineShape    ? 1
                                    : code == kTagDefineShape2 ? 2
                                    : code == kTagDefineShape3 ? 3
                                                               : 4;
                auto shape = std::make_shared<ShapeCharacter>();
                if (ParseDefineShape(body, version, *shape, budget_)) Define(shape);
                break;
            }
            case kTagDefineMorphShape:
            case kTagDefineMorphShape2: {
                auto morph = std::make_shared<MorphCharacter>();
                if (ParseMorphShape(body, code == kTagDefineMorphShape ? 1 : 2, *morph, budget_)) Define(morph);
                break;
            }
            case kTagJpegTables: {
                const size_t size = body.Remaining();
                const uint8_t* data = body.Bytes(size);
                if (data != nullptr) jpegTables_.assign(data, data + size);
                break;
            }
            case kTagDefineBits:
            case kTagDefineBitsJpeg2:
            case kTagDefineBitsJpeg3:
            case kTagDefineBitsJpeg4:
            case kTagDefineBitsLossless:
            case kTagDefineBitsLossless2: {
                auto bitmap = std::make_shared<BitmapCharacter>();
                bitmap->id = body.U16();
                bool ok = false;
                if (code == kTagDefineBits)
                    ok = ParseDefineBits(body, jpegTables_, *bitmap, budget_);
                else if (code == kTagDefineBitsLossless)
                    ok = ParseDefineBitsLossless(body, 1, *bitmap, budget_);
                else if (code == kTagDefineBitsLossless2)
                    ok = ParseDefineBitsLossless(body, 2, *bitmap, budget_);
                else
                    ok = ParseDefineBitsJpeg(body,
                                             code == kTagDefineBitsJpeg2   ? 2
                                             : code == kTagDefineBitsJpeg3 ? 3
                                                                           : 4,
                                             *bitmap, budget_);
                if (ok) Define(bitmap);
                break;
            }
            case kTagDefineFont: {
                auto font = std::make_shared<FontCharacter>();
                if (ParseDefineFont(body, *font, budget_)) Define(font);
                break;
            }
            case kTagDefineFont2:
            case kTagDefineFont3: {
                auto font = std::make_shared<FontCharacter>();
                if (ParseDefineFont2(body, code == kTagDefineFont2 ? 2 : 3, *font, budget_)) Define(font);
                break;
            }
            case kTagDefineFontInfo:
            case kTagDefineFontInfo2: {
                const uint16_t fontId = body.U16();
                const auto it = movie_.dictionary.find(fontId);
                if (it != movie_.dictionary.end() && it->second.back().character->kind == CharacterKind::Font) {
                    // Fonts are shared as const once defined; the info belongs to the definition,
                    // so it is applied to a copy that replaces it.
                    auto& latest = it->second.back().character;
                    auto font = std::make_shared<FontCharacter>(static_cast<const FontCharacter&>(*latest));
                    ParseDefineFontInfo(body, code == kTagDefineFontInfo ? 1 : 2, *font);
                    latest = font;
                }
                break;
            }
            case kTagDefineText:
            case kTagDefineText2: {
                auto text = std::make_shared<TextCharacter>();
                if (ParseDefineText(body, code == kTagDefineText ? 1 : 2, *text, budget_)) Define(text);
                break;
            }
            case kTagDefineEditText: {
                auto field = std::make_shared<EditTextCharacter>();
                if (ParseDefineEditText(body, movie_.version, *field)) Define(field);
                break;
            }
            case kTagDefineButton:
            case kTagDefineButton2: {
                auto button = std::make_shared<ButtonCharacter>();
                if (ParseButton(body, code == kTagDefineButton2, *button)) Define(button);
                break;
            }
            case kTagDefineSprite: {
                auto sprite = std::make_shared<SpriteCharacter>();
                sprite->id = body.U16();
                body.U16();  // frame count: the frames present are what counts
                if (body.Failed()) break;
                ParseTags(body, sprite->timeline, false);
                Define(sprite);
                break;
            }
            default: break;  // tags this engine has no use for
        }
    }

    bool ParseButton(Reader& body, bool second, ButtonCharacter& button) {
        button.id = body.U16();
        if (second) {
            body.U8();   // menu flag
            body.U16();  // action offset
        }
        while (!body.Failed()) {
            const uint8_t flags = body.U8();
            if (flags == 0) break;
            ButtonRecord record;
            record.characterId = body.U16();
            record.depth = body.U16();
            record.matrix = body.ReadMatrix();
            if (second) {
                record.colorTransform = body.ReadColorTransform(true);
                if (flags & 0x10) SkipFilters(body);
                if (flags & 0x20) record.blendMode = body.U8();
            }
            if (body.Failed()) break;
            if ((flags & 0x01) != 0 && button.upRecords.size() < 1024) button.upRecords.push_back(record);
        }
        std::stable_sort(button.upRecords.begin(), button.upRecords.end(),
                         [](const ButtonRecord& a, const ButtonRecord& b) { return a.depth < b.depth; });
        return true;
    }

    MovieData& movie_;
    ParseBudget budget_;
    std::vector<uint8_t> jpegTables_;
    size_t opsLeft_ = kMaxOpsPerTimeline;
    int frame_ = 0;  // the main timeline frame being read
    bool backgroundSet_ = false;
};

}  // namespace

Movie::Movie(std::unique_ptr<MovieData> data) : data_(std::move(data)) {}
Movie::~Movie() = default;

std::shared_ptr<const Movie> Movie::Load(const uint8_t* data, size_t size, std::string& error) {
    error.clear();
    if (data == nullptr || size < 8) {
        error = "The file is too short to be a Flash movie";
        return nullptr;
    }
    const bool plain = std::memcmp(data, "FWS", 3) == 0;
    const bool zlib = std::memcmp(data, "CWS", 3) == 0;
    if (std::memcmp(data, "ZWS", 3) == 0) {
        error = "LZMA-compressed movies are not supported";
        return nullptr;
    }
    if (!plain && !zlib) {
        error = "The file is not a Flash movie (no FWS or CWS signature)";
        return nullptr;
    }
    auto movie = std::make_unique<MovieData>();
    movie->version = data[3];
    Reader header(data + 4, 4);
    const size_t declared = header.U32();
    const size_t bodyLimit = std::min(declared > 8 ? declared - 8 : 0, kMaxMovieBytes);

    std::vector<uint8_t> unpacked;
    // An uncompressed movie is read to the end of the bytes: writers get the length wrong.
    const uint8_t* body = data + 8;
    size_t bodySize = std::min(size - 8, kMaxMovieBytes);
    if (zlib) {
        Inflate(data + 8, size - 8, bodyLimit, unpacked);
        body = unpacked.data();
        bodySize = unpacked.size();
    }

    Reader reader(body, bodySize);
    movie->stage = reader.ReadRect();
    const double rate = reader.U16() / 256.0;
    reader.U16();  // declared frame count: the frames present are what counts
    if (reader.Failed()) {
        error = zlib ? "The movie's compressed data is damaged" : "The movie's header is incomplete";
        return nullptr;
    }
    movie->frameRate = rate > 0 ? rate : kDefaultFrameRate;
    MovieParser parser(*movie);
    parser.ParseTags(reader, movie->timeline, true);
    return std::shared_ptr<const Movie>(new Movie(std::move(movie)));
}

int Movie::Version() const {
    return data_->version;
}
double Movie::StageWidth() const {
    return std::max(0, data_->stage.xMax - data_->stage.xMin) / 20.0;
}
double Movie::StageHeight() const {
    return std::max(0, data_->stage.yMax - data_->stage.yMin) / 20.0;
}
double Movie::FrameRate() const {
    return data_->frameRate;
}
int Movie::FrameCount() const {
    return static_cast<int>(data_->timeline.frames.size());
}
uint32_t Movie::BackgroundColor() const {
    return data_->background;
}

}  // namespace kestrix::swf
