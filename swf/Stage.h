// The running side of a movie: the display list of every timeline, frame stepping and the
// frame actions that steer it.
#pragma once

#include <memory>
#include <vector>

#include "swf/Characters.h"

namespace kestrix::swf {

// One object on a display list: a shape, text, or a sprite or button with its own children.
struct DisplayObject : std::enable_shared_from_this<DisplayObject> {
    explicit DisplayObject(int* liveCounter) : live(liveCounter) { ++*live; }
    ~DisplayObject() { --*live; }
    DisplayObject(const DisplayObject&) = delete;
    DisplayObject& operator=(const DisplayObject&) = delete;

    const Character* character = nullptr;  // nullptr for the main timeline
    const Timeline* timeline = nullptr;    // for the main timeline and sprites
    uint16_t depth = 0;
    Matrix matrix;
    ColorTransform colorTransform;
    uint16_t ratio = 0;
    uint16_t clipDepth = 0;
    uint8_t blendMode = 0;
    int placedFrame = -1;  // the parent's frame whose PlaceObject created this object
    int nesting = 0;
    uint64_t bornStep = 0;

    std::vector<std::shared_ptr<DisplayObject>> children;  // ordered by depth
    int frame = 0;                                         // 0-based
    bool playing = true;

    int* live;
};

class Stage {
public:
    explicit Stage(const MovieData& movie);

    void StepFrame();
    void Rewind();
    void Play() { root_->playing = true; }
    void Stop() { root_->playing = false; }
    bool Playing() const { return root_->playing; }
    void SetLoop(bool loop) { loop_ = loop; }
    int CurrentFrame() const { return root_->frame + 1; }
    const DisplayObject& Root() const { return *root_; }
    int LiveObjects() const { return live_; }

private:
    void Advance(DisplayObject& object);
    void Goto(DisplayObject& object, int frame);
    void ApplyOp(DisplayObject& parent, const PlaceOp& op, int frame);
    void Rebuild(DisplayObject& object, int frame);
    std::shared_ptr<DisplayObject> Create(const Character* character, int nesting);
    void Enter(DisplayObject& object, int frame);
    void QueueActions(DisplayObject& object);
    void RunActions();

    const MovieData& movie_;
    int live_ = 0;  // declared before root_: objects count themselves out as they go
    std::shared_ptr<DisplayObject> root_;
    bool loop_ = true;
    uint64_t step_ = 1;
    struct Pending {
        std::weak_ptr<DisplayObject> target;
        const std::vector<ActionOp>* actions;
    };
    std::vector<Pending> queue_;
    int64_t workLeft_ = 0;
};

}  // namespace kestrix::swf
