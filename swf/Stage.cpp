#include "swf/Stage.h"

#include <algorithm>
#include <map>

namespace kestrix::swf {

namespace {

// Limits that keep a hostile movie from growing without end or spinning inside one step.
constexpr int kMaxNesting = 32;
constexpr int kMaxLiveObjects = 20000;
constexpr int64_t kMaxWorkPerStep = 100000;  // placements replayed plus actions run

using Children = std::vector<std::shared_ptr<DisplayObject>>;

// A move that names a character swaps only plain graphics; sprites and buttons keep what they
// are, and none of them turns into one (as the reference player does).
bool Swappable(const Character* from, const Character* to) {
    auto plain = [](const Character* c) {
        return c != nullptr && c->kind != CharacterKind::Sprite && c->kind != CharacterKind::Button;
    };
    return plain(from) && plain(to);
}

Children::iterator FindDepth(Children& children, uint16_t depth) {
    return std::lower_bound(children.begin(), children.end(), depth,
                            [](const std::shared_ptr<DisplayObject>& object, uint16_t d) { return object->depth < d; });
}

// The properties a placement sets, accumulated over the frames when a timeline is replayed.
struct Placement {
    Matrix matrix;
    ColorTransform colorTransform;
    uint16_t ratio = 0;
    uint16_t clipDepth = 0;
    uint8_t blendMode = 0;

    void Take(const PlaceOp& op) {
        if (op.hasMatrix) matrix = op.matrix;
        if (op.hasColorTransform) colorTransform = op.colorTransform;
        if (op.hasRatio) ratio = op.ratio;
        if (op.hasClipDepth) clipDepth = op.clipDepth;
        if (op.hasBlendMode) blendMode = op.blendMode;
    }
    void Read(const DisplayObject& object) {
        matrix = object.matrix;
        colorTransform = object.colorTransform;
        ratio = object.ratio;
        clipDepth = object.clipDepth;
        blendMode = object.blendMode;
    }
    void Write(DisplayObject& object) const {
        object.matrix = matrix;
        object.colorTransform = colorTransform;
        object.ratio = ratio;
        object.clipDepth = clipDepth;
        object.blendMode = blendMode;
    }
};

}  // namespace

Stage::Stage(const MovieData& movie) : movie_(movie) {
    root_ = std::make_shared<DisplayObject>(&live_);
    root_->timeline = &movie.timeline;
    root_->bornStep = step_;
    workLeft_ = kMaxWorkPerStep;
    Enter(*root_, 0);
    RunActions();
}

void Stage::StepFrame() {
    ++step_;
    workLeft_ = kMaxWorkPerStep;
    Advance(*root_);
    RunActions();
}

void Stage::Rewind() {
    workLeft_ = kMaxWorkPerStep;
    Goto(*root_, 0);
    RunActions();
}

std::shared_ptr<DisplayObject> Stage::Create(const Character* character, int nesting) {
    if (character == nullptr || live_ >= kMaxLiveObjects) return nullptr;
    auto object = std::make_shared<DisplayObject>(&live_);
    object->character = character;
    object->nesting = nesting;
    object->bornStep = step_;
    if (character->kind == CharacterKind::Sprite) {
        object->timeline = &static_cast<const SpriteCharacter*>(character)->timeline;
        // Too deep a chain of sprites (a sprite may even hold itself) stays empty.
        if (nesting < kMaxNesting) Enter(*object, 0);
    } else if (character->kind == CharacterKind::Button && nesting < kMaxNesting) {
        for (const ButtonRecord& record : static_cast<const ButtonCharacter*>(character)->upRecords) {
            auto child = Create(movie_.Find(record.characterId, root_->frame), nesting + 1);
            if (!child) continue;
            child->depth = record.depth;
            child->matrix = record.matrix;
            child->colorTransform = record.colorTransform;
            child->blendMode = record.blendMode;
            object->children.insert(FindDepth(object->children, record.depth), std::move(child));
        }
    }
    return object;
}

void Stage::Enter(DisplayObject& object, int frame) {
    object.frame = frame;
    QueueActions(object);
    for (const PlaceOp& op : object.timeline->frames[frame].ops) ApplyOp(object, op, frame);
}

void Stage::QueueActions(DisplayObject& object) {
    const Frame& frame = object.timeline->frames[object.frame];
    if (!frame.actions.empty()) queue_.push_back({object.weak_from_this(), &frame.actions});
}

void Stage::ApplyOp(DisplayObject& parent, const PlaceOp& op, int frame) {
    if (workLeft_ <= 0) return;
    --workLeft_;
    Children& children = parent.children;
    auto at = FindDepth(children, op.depth);
    const bool occupied = at != children.end() && (*at)->depth == op.depth;
    if (op.remove) {
        if (occupied) children.erase(at);
        return;
    }
    if (!op.hasCharacter) {
        if (occupied) {
            Placement placement;
            placement.Read(**at);
            placement.Take(op);
            placement.Write(**at);
        }
        return;
    }
    // Definitions as they stand on the main timeline's frame being entered.
    const Character* character = movie_.Find(op.characterId, &parent == root_.get() ? frame : root_->frame);
    if (character == nullptr) return;
    if (op.move && occupied && ((*at)->character == character || !Swappable((*at)->character, character))) {
        Placement placement;
        placement.Read(**at);
        placement.Take(op);
        placement.Write(**at);
        return;
    }
    // A new object; one replacing another through a move keeps the old one's placement.
    Placement placement;
    if (op.move && occupied) placement.Read(**at);
    placement.Take(op);
    auto object = Create(character, parent.nesting + 1);
    if (!object) return;
    object->depth = op.depth;
    object->placedFrame = frame;
    placement.Write(*object);
    at = FindDepth(children, op.depth);  // creating may have run nothing here, but stay safe
    if (at != children.end() && (*at)->depth == op.depth)
        *at = std::move(object);
    else
        children.insert(at, std::move(object));
}

void Stage::Advance(DisplayObject& object) {
    if (object.timeline != nullptr && object.playing && object.bornStep != step_) {
        const int frames = static_cast<int>(object.timeline->frames.size());
        int next = object.frame + 1;
        if (next >= frames) {
            if (&object == root_.get() && !loop_) {
                object.playing = false;
                next = object.frame;
            } else {
                next = 0;
            }
        }
        if (next != object.frame) Goto(object, next);
    }
    // Children placed during this step start moving on the next one.
    const Children snapshot = object.children;
    for (const auto& child : snapshot)
        if (child->bornStep != step_ && (child->timeline != nullptr || !child->children.empty())) Advance(*child);
}

void Stage::Goto(DisplayObject& object, int frame) {
    if (object.timeline == nullptr) return;
    const int frames = static_cast<int>(object.timeline->frames.size());
    frame = std::clamp(frame, 0, frames - 1);
    if (frame == object.frame) return;
    if (frame > object.frame) {
        for (int f = object.frame + 1; f <= frame; ++f)
            for (const PlaceOp& op : object.timeline->frames[f].ops) ApplyOp(object, op, f);
    } else {
        Rebuild(object, frame);
    }
    object.frame = frame;
    QueueActions(object);
}

// Going back: replay the timeline up to the frame, then keep the objects that would still be
// there (same character, placed by the same frame) and make the rest anew.
void Stage::Rebuild(DisplayObject& object, int frame) {
    struct Expected {
        const Character* character = nullptr;
        int placedFrame = 0;
        Placement placement;
    };
    std::map<uint16_t, Expected> expected;
    for (int f = 0; f <= frame; ++f) {
        for (const PlaceOp& op : object.timeline->frames[f].ops) {
            if (--workLeft_ < 0) break;
            auto it = expected.find(op.depth);
            if (op.remove) {
                if (it != expected.end()) expected.erase(it);
                continue;
            }
            const int asOf = &object == root_.get() ? f : root_->frame;
            const Character* character = op.hasCharacter ? movie_.Find(op.characterId, asOf) : nullptr;
            if (op.hasCharacter && character == nullptr) continue;
            const bool keep = op.move && it != expected.end() &&
                              (it->second.character == character || !Swappable(it->second.character, character));
            if (!op.hasCharacter || keep) {
                if (it != expected.end()) it->second.placement.Take(op);
                continue;
            }
            Expected entry;
            if (op.move && it != expected.end()) entry.placement = it->second.placement;
            entry.character = character;
            entry.placedFrame = f;
            entry.placement.Take(op);
            expected[op.depth] = entry;
        }
    }
    Children old = std::move(object.children);
    object.children.clear();
    for (const auto& [depth, entry] : expected) {
        auto at = FindDepth(old, depth);
        std::shared_ptr<DisplayObject> child;
        if (at != old.end() && (*at)->depth == depth && (*at)->character == entry.character &&
            (*at)->placedFrame == entry.placedFrame) {
            child = *at;
        } else {
            child = Create(entry.character, object.nesting + 1);
            if (!child) continue;
            child->depth = depth;
            child->placedFrame = entry.placedFrame;
        }
        entry.placement.Write(*child);
        object.children.push_back(std::move(child));
    }
}

void Stage::RunActions() {
    for (size_t i = 0; i < queue_.size() && workLeft_ > 0; ++i) {
        const Pending pending = queue_[i];
        const auto target = pending.target.lock();
        if (!target) continue;
        for (const ActionOp& op : *pending.actions) {
            if (--workLeft_ < 0) break;
            switch (op.kind) {
                case ActionKind::Play: target->playing = true; break;
                case ActionKind::Stop: target->playing = false; break;
                case ActionKind::GotoFrame: Goto(*target, op.frame); break;
                case ActionKind::GotoLabel: {
                    const int frame = target->timeline->FrameForLabel(op.label);
                    if (frame >= 0) Goto(*target, frame);
                    break;
                }
                case ActionKind::NextFrame:
                    Goto(*target, target->frame + 1);
                    target->playing = false;
                    break;
                case ActionKind::PrevFrame:
                    Goto(*target, target->frame - 1);
                    target->playing = false;
                    break;
            }
        }
    }
    queue_.clear();
}

}  // namespace kestrix::swf
