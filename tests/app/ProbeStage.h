// The whole-program pixel tests' render fixture. ShootProbe writes a scene,
// runs the program on it and reads back one frame. AddProbeStage builds the
// usual stage: a World whose start loads its resources, a Space round the
// origin, fog colour (0.2, 0.4, 0.6) from 50 units on as the background, and
// a camera at the origin looking along +z with a quarter-turn field of view.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <numbers>
#include <string>
#include <utility>

#include "app/StartupConfig.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "tests/app/ProgramRun.h"
#include "tools/SceneWriter.h"

namespace tge::test {

inline const Rgb kProbeFog{51, 102, 153};

struct ProbeView {
  int width;
  int height;
  float Aspect() const { return float(width) / float(height); }
  // tan(fov / 2) = 1: x = (x / z / aspect + 1) x width / 2, y = (1 - y / z) x height / 2.
  std::pair<int, int> Project(const Vector3& p) const {
    return {int(std::lround((p.x / p.z / Aspect() + 1) * width / 2)), int(std::lround((1 - p.y / p.z) * height / 2))};
  }
};

// The Space the probe's objects go into.
inline Object& AddProbeStage(Object& root, const ProbeView& view) {
  Object& world = *CreateObject(kClassWorld, nullptr, root, "ProbeWorld");
  AddScript(world, "OnEngineStarted", "parent.LoadResources(/ProbeWorld);");
  Object& room = AddPlaced(world, kClassSpace, "Room", "this.SetSpaceBoxMin(-60, -60, -60); this.SetSpaceBoxMax(60, 60, 60);");
  AddPlaced(room, kClassEnvironment, "Air",
            "this.SetEnvironmentFogColor(0.2, 0.4, 0.6, 1); this.SetEnvironmentFogNear(50); "
            "this.SetEnvironmentFogFar(100); this.SetEnvironmentFogEnable(1);");
  AddPlaced(room, kClassCamera, "Eye",
            "this.SetCameraType(0); this.SetCameraFov(" + std::to_string(std::numbers::pi_v<float> / 2) +
                "); this.SetCameraAspect(" + std::to_string(view.Aspect()) +
                "); this.SetCameraNear(1); this.SetCameraFar(100);");
  return room;
}

// Writes the scene, runs the program on it at the view's size and reads
// back its screenshot of frame shotFrame; with a step, the game's clock
// advances that many seconds a frame.
inline image::Image ShootProbe(const SceneDescription& scene, const std::string& title, const ProbeView& view,
                               int shotFrame, double step = 0) {
  ::tge::testing::TempFolder folder;
  std::string error;
  EXPECT_TRUE(WriteSceneFiles(folder.Path() / "Data", scene, error)) << error;
  folder.WriteFile(kInitFileName,
                   folder.Path().string() + "\nLibrary.sli\n\n" + title + " " + std::to_string(::getpid()) + "\n\n");
  RunProgram(folder, "-g_w=" + std::to_string(view.width) + " -g_h=" + std::to_string(view.height) +
                         " -s_e=0 -shot=shot.bmp -shotframe=" + std::to_string(shotFrame) +
                         (step > 0 ? " -shotstep=" + std::to_string(step) : std::string()));
  return ReadShot(folder, "shot.bmp");
}

}  // namespace tge::test
