#include "swf/Player.h"

#include <algorithm>
#include <cmath>

#include "swf/Characters.h"
#include "swf/Renderer.h"
#include "swf/Stage.h"

namespace kestrix::swf {

namespace {

// After a long pause (a suspended process, a slow frame) only this many frames catch up.
constexpr int kMaxCatchUpFrames = 4;

}  // namespace

Player::Player(std::shared_ptr<const Movie> movie)
    : movie_(std::move(movie)),
      stage_(std::make_unique<Stage>(movie_->Data())),
      renderer_(std::make_unique<Renderer>()) {}

Player::~Player() = default;

void Player::Play() {
    stage_->Play();
}
void Player::Stop() {
    stage_->Stop();
}
void Player::Rewind() {
    stage_->Rewind();
}
bool Player::Playing() const {
    return stage_->Playing();
}
void Player::SetLoop(bool loop) {
    stage_->SetLoop(loop);
}
int Player::CurrentFrame() const {
    return stage_->CurrentFrame();
}
void Player::StepFrame() {
    stage_->StepFrame();
}

void Player::AdvanceTime(double seconds) {
    if (!(seconds > 0)) return;  // also NaN
    const double frameTime = 1 / movie_->FrameRate();
    clock_ += seconds;
    // A hair of slack, so that times adding up to whole frames count as whole frames.
    double due = std::floor(clock_ / frameTime + 1e-9);
    if (due > kMaxCatchUpFrames) {
        due = kMaxCatchUpFrames;
        clock_ = 0;
    } else {
        clock_ = std::max(0.0, clock_ - due * frameTime);
    }
    for (int i = 0; i < static_cast<int>(due); ++i) stage_->StepFrame();
}

void Player::Render(uint32_t* pixels, int width, int height, int strideInPixels, ScaleMode mode, int alignFlags) const {
    if (pixels == nullptr || width <= 0 || height <= 0 || strideInPixels < width) return;
    const StagePlacement placement =
        PlaceStage(width, height, movie_->StageWidth(), movie_->StageHeight(), mode, alignFlags);
    renderer_->Render(movie_->Data(), stage_->Root(), pixels, width, height, strideInPixels, placement);
}

}  // namespace kestrix::swf
