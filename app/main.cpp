// The tarnwick executable: the game shell started in the working folder with
// the command line as one text.
#include <filesystem>

#include "app/GameShell.h"

int main(int argc, char** argv) {
  return tge::RunGame(tge::JoinArguments(argc, argv), std::filesystem::current_path().string());
}
