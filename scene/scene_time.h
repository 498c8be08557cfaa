// The one clock the rain scene reads for its own purposes (the background
// seed and the frame statistics): seconds since GLFW was initialised.
// Tests replace the source to script time.
#pragma once

using SceneTimeSource = double (*)();

// glfwGetTime unless replaced; nullptr restores it.
void setSceneTimeSource(SceneTimeSource source);
// The source's answer, seconds.
double sceneTime();
