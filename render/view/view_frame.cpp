// The frame: the map described and drawn pass by pass with its overlays, or
// the preview shifted by a flat drag, or the notice that the map is absent;
// then what the frame leaves for the next one.
#include "render/view/map_view.hpp"

#include "platform/clock.hpp"

namespace tevo {

void MapView::drawFrame() {
    const uint32_t start = ticks();
    // The preview keeps its picture; anything else starts from the background.
    if (!state_.previewOn) painter_->clearArea(background_);
    if (!mapOpen())
        overlays_->drawMapAbsent({camera_->principalX, camera_->principalY}, programFolder_);
    else if (!state_.previewOn)
        composeMap();
    else if (video_ && preview_)
        showPreview();
    state_.drawTimeMs = static_cast<int32_t>(ticks() - start);
}

void MapView::composeMap() {
    cPainter::BusyGuard busy(*painter_);
    // Drawing reaches the whole fill area.
    const PixelRect fill = painter_->fillArea();
    painter_->setClip(fill);
    painter_->setBounds({0, 0, fill.right, fill.bottom});
    setUpFrame();
    if (drawMap(frame_, canvas_, tracks_)) finishFrame();
}

// The last frame, shifted by the drag, with the background around it.
void MapView::showPreview() {
    const PixelRect& v = viewport_;
    SDL_Rect area{static_cast<Sint16>(v.left), static_cast<Sint16>(v.top),
                  static_cast<Uint16>(v.right - v.left + 1),
                  static_cast<Uint16>(v.bottom - v.top + 1)};
    SDL_FillRect(video_, &area,
                 SDL_MapRGB(video_->format, background_ & 0xFF, (background_ >> 8) & 0xFF,
                            (background_ >> 16) & 0xFF));
    SDL_Rect from = area;
    SDL_Rect to{static_cast<Sint16>(v.left + state_.previewOffset.x),
                static_cast<Sint16>(v.top + state_.previewOffset.y), 0, 0};
    SDL_BlitSurface(preview_, &from, video_, &to);
}

// What the user did has been drawn: a tap marker starts its life again, the
// action and the level choice are done with, and the marker goes over the
// frame. Every frame carries it: a glide's frames, drawn between records,
// would otherwise cover it until the animation's next step.
void MapView::finishFrame() {
    ViewState& s = state_;
    if (s.lastAction != ActionNone && overlays_->tapMarkerActive())
        overlays_->resetTapMarkerAnimation();
    s.lastAction = ActionNone;
    drawTapMarkerOverFrame();
    s.levelChoiceKind = ChoiceOther;
}

void MapView::layoutInto(FrameView& f) const {
    f.viewport = viewport_;
    f.camera = camera_.get();
    f.ecoOrigin = ecoOrigin_;
    f.style = &style_;
    f.eco = !perspective();
    f.route = route_.size() >= 2 ? &route_ : nullptr;
}

} // namespace tevo
