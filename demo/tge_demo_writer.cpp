// Writes the bundled demo game's archive: tge_demo_writer OUT_DIR
// [EXIT_AFTER_SECONDS]. The build runs it to make build/demo/data.csa.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "demo/DemoData.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: %s OUT_DIR [EXIT_AFTER_SECONDS]\n", argv[0]);
    return 2;
  }
  tge::DemoOptions options;
  if (argc == 3) options.exitAfterSeconds = std::strtof(argv[2], nullptr);
  std::string error;
  if (!tge::WriteDemoData(argv[1], options, error)) {
    std::fprintf(stderr, "tge_demo_writer: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
