#include "scene/rain_scene.h"

#include "app/display_state.h"
#include "gfx/gl.h"

RainScene& rainScene() {
    static RainScene* scene = new RainScene();
    return *scene;
}

void RainScene::setup() {
    clock_ = new SceneClock(0.0f);
    camera_ = new Camera(Vector3(0.0f, 0.0f, 100.0f));
    camera_->pitch(1.0f);
    camera_->updateView(0);
}

void RainScene::render() {
    clock_->setViewport(static_cast<float>(windowWidth), static_cast<float>(windowHeight));
    glViewport(0, 0, windowWidth, windowHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}
