#include "scene/scene_time.h"

#include <GLFW/glfw3.h>

namespace {
SceneTimeSource currentSource = glfwGetTime;
}

void setSceneTimeSource(SceneTimeSource source) { currentSource = source ? source : glfwGetTime; }

double sceneTime() { return currentSource(); }
