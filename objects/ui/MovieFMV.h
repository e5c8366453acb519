// MovieFMV (class 58): stands in a scene for a full-motion cut-scene. It
// holds a movie's name and answers the play command, but shows no video:
// playing reports the end of the movie at once (OnMovieFMVEnd), so the
// scripts chained to the end of a cut-scene run without it. Full-window
// movies go through the services' overlay movie instead.
#pragma once
#include <cstdint>
#include <string>

#include "core/CommandTable.h"
#include "core/Object.h"

namespace tge {

inline constexpr int kEventOnMovieFMVEnd = 14503;

class MovieFMV : public Object {
 public:
  static const CommandEntry<MovieFMV> kCommands[];

  MovieFMV();
  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;

  const std::string& GetMovieName() const { return movieName_; }

  int SetMovieFMVName(CommandArgs args);
  int GetMovieFMVName(CommandArgs args);
  // The argument is not read.
  int MovieFMVPlay(CommandArgs args);

 private:
  std::string movieName_;
  // Saved and loaded; nothing reads it.
  std::uint32_t reserved_ = 0;
};

// Adds MovieFMV's commands to the registry and MovieFMV to the object factory.
void RegisterMovieFMVCommands();

}  // namespace tge
