// The pointer on the map: drags, the flat view's preview, taps and the
// perspective tap of the right button.
#include "app/screen_steps.hpp"
#include "app/startup.hpp"
#include "app/view_steps.hpp"
#include "render/view/map_view.hpp"

namespace tevo {

namespace {

void motion(AppState& app, const SDL_MouseMotionEvent& m) {
    if (m.state != SDL_BUTTON(SDL_BUTTON_LEFT)) return;
    LoopState& loop = app.loop;
    MapView& view = *app.mapView;
    if (view.perspective() && !loop.pressPointOffMap)
        view.grabDrag({loop.pressMapPoint[0], loop.pressMapPoint[1], -1}, m.x, m.y);
    else
        view.dragBy(loop.lastPoint[0] - m.x, loop.lastPoint[1] - m.y);
    loop.lastPoint = {m.x, m.y};
    loop.dragging = true;
    if (!(app.demoMode && view.state().positionChanged)) presentScreen(app);
}

void leftPress(AppState& app, const SDL_MouseButtonEvent& b) {
    LoopState& loop = app.loop;
    MapView& view = *app.mapView;
    view.setPreview(true);
    loop.pressPoint = loop.lastPoint = {b.x, b.y};
    // The screens' controls take their touches before the map.
    loop.pressedOnControl = pressCurrentScreen(app, b.x, b.y);
    if (loop.pressedOnControl) presentScreen(app);
    const GroundHit hit = view.screenToMap(b.x, b.y);
    loop.pressMapPoint = {hit.x, hit.y};
    loop.pressPointOffMap = hit.offGround;
}

void leftRelease(AppState& app, const SDL_MouseButtonEvent& b) {
    LoopState& loop = app.loop;
    MapView& view = *app.mapView;
    // The controls let go (a menu screen shows them so); the release point.
    releaseCurrentScreen(app);
    if (loop.pressedOnControl && !onNavigationScreen(app) && view.perspective()) presentScreen(app);
    loop.releasePoint = {b.x, b.y};
    // The flat view lands the drag.
    if (!view.perspective()) {
        if (!view.state().previewOn || view.setPreview(false))
            view.dragBy(loop.pressPoint[0] - loop.releasePoint[0],
                        loop.pressPoint[1] - loop.releasePoint[1]);
        presentScreen(app);
    }
    // A tap on the map marks the place; with a return button it also frees
    // the view until the user returns.
    if (!loop.pressedOnControl) {
        if (loop.returnButtonExists) {
            if (returnButtonHidden(app)) {
                view.saveView();
                showReturnButton(app);
                view.freeSwitch();
            }
            app.viewMovedByUser = true;
        }
        view.markTap(b.x, b.y);
        presentScreen(app);
    }
    loop.dragging = false;
}

} // namespace

bool handleViewMouse(AppState& app, const SDL_Event& event) {
    if (!app.mapView) return false;
    switch (event.type) {
    case SDL_MOUSEMOTION:
        motion(app, event.motion);
        return true;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT) leftPress(app, event.button);
        return true;
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT) {
            leftRelease(app, event.button);
        } else if (event.button.button == SDL_BUTTON_RIGHT) {
            if (app.mapView->perspectiveTap(event.button.x, event.button.y)) presentScreen(app);
        }
        return true;
    default:
        return false;
    }
}

void viewAfterPass(AppState& app) {
    if (!app.mapView || app.loop.dragging) return;
    // Between frames the tap marker animates on the screen by itself.
    if (!app.loop.newFixThisPass) app.mapView->animateTapMarker();
}

} // namespace tevo
