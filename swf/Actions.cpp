#include "swf/Actions.h"

namespace kestrix::swf {

namespace {

enum : uint8_t {
    kEnd = 0x00,
    kNextFrame = 0x04,
    kPrevFrame = 0x05,
    kPlay = 0x06,
    kStop = 0x07,
    kSetTarget2 = 0x20,
    kGotoFrame = 0x81,
    kSetTarget = 0x8B,
    kGoToLabel = 0x8C,
    kDefineFunction2 = 0x8E,
    kJump = 0x99,
    kDefineFunction = 0x9B,
    kIf = 0x9D,
};

constexpr size_t kMaxActionsPerBlock = 4096;

}  // namespace

std::vector<ActionOp> ParseActions(Reader& reader) {
    std::vector<ActionOp> ops;
    bool otherTarget = false;
    while (!reader.AtEnd() && ops.size() < kMaxActionsPerBlock) {
        const uint8_t code = reader.U8();
        if (code == kEnd) break;
        Reader payload;
        if (code >= 0x80) payload = reader.Sub(reader.U16());
        if (reader.Failed()) break;
        if (code == kJump || code == kIf) break;
        if (code == kDefineFunction || code == kDefineFunction2) {
            // The body follows the record; its size is the record's last field.
            if (payload.Size() < 2) break;
            Reader sizeField(payload.Current() + payload.Size() - 2, 2);
            reader.Skip(sizeField.U16());
            continue;
        }
        if (code == kSetTarget) {
            otherTarget = !payload.String().empty();
            continue;
        }
        if (code == kSetTarget2) {
            otherTarget = true;
            continue;
        }
        if (otherTarget) continue;
        ActionOp op;
        switch (code) {
            case kNextFrame: op.kind = ActionKind::NextFrame; break;
            case kPrevFrame: op.kind = ActionKind::PrevFrame; break;
            case kPlay: op.kind = ActionKind::Play; break;
            case kStop: op.kind = ActionKind::Stop; break;
            case kGotoFrame:
                op.kind = ActionKind::GotoFrame;
                op.frame = payload.U16();
                if (payload.Failed()) continue;
                break;
            case kGoToLabel:
                op.kind = ActionKind::GotoLabel;
                op.label = payload.String();
                if (payload.Failed()) continue;
                break;
            default: continue;
        }
        ops.push_back(std::move(op));
    }
    return ops;
}

}  // namespace kestrix::swf
