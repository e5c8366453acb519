#include "objects/ui/MovieFMV.h"

#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/commands/InterfaceTypeRegistration.h"
#include "objects/ui/InfoText.h"

namespace tge {
namespace {

constexpr std::uint32_t kMovieFMVPlay = 14502;

}  // namespace

constexpr CommandEntry<MovieFMV> MovieFMV::kCommands[] = {
    {14500, "MovieFMVName", CommandKind::kProperty, 0, {kValueString}, Member<&MovieFMV::SetMovieFMVName>,
     Member<&MovieFMV::GetMovieFMVName>},
    {kMovieFMVPlay, "MovieFMVPlay", CommandKind::kCommand, kCommandSetter, {kValueString}, Member<&MovieFMV::MovieFMVPlay>},
    {kEventOnMovieFMVEnd, "OnMovieFMVEnd", CommandKind::kEvent, 0, {}},
    {14504, "OnMovieFMVCancel", CommandKind::kEvent, 0, {}},
};

MovieFMV::MovieFMV() : Object(kClassMovieFMV) {}

// Play reads no argument, so it runs without a block as well; every id goes
// on to the base handler afterwards.
int MovieFMV::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<MovieFMV> handlers(kClassMovieFMV, {kCommands}, BlockRule::kEvery);
  if (id == kMovieFMVPlay && args == nullptr) {
    MovieFMVPlay(CommandArgs(nullptr));
  } else {
    handlers.Run(*this, id, args);
  }
  return Object::ExecuteCommand(id, args);
}

int MovieFMV::SetMovieFMVName(CommandArgs args) {
  movieName_ = args.AsString();
  return 1;
}

int MovieFMV::GetMovieFMVName(CommandArgs args) {
  args.AsString() = movieName_;
  return 1;
}

int MovieFMV::MovieFMVPlay(CommandArgs) {
  FireEvent(kEventOnMovieFMVEnd, nullptr);
  return 1;
}

bool MovieFMV::Serialize(SerializeStream& stream) { return SerializeTextRecord(*this, stream, reserved_, movieName_); }

void RegisterMovieFMVCommands() {
  RegisterCommandTable<MovieFMV>(BuildCommandRegistry(), kClassMovieFMV, MovieFMV::kCommands);
  GetObjectFactory().RegisterType<MovieFMV>(kClassMovieFMV);
}

}  // namespace tge
