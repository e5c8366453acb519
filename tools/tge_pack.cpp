// tge_pack OUT.csa DIR: packs every file under DIR into a game archive, each
// named by its path relative to DIR with '\' separators.
#include <cstdio>
#include <string>

#include "tools/PackWriter.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: tge_pack OUT.csa DIR\n");
    return 2;
  }
  std::string error;
  const std::vector<tge::PackSource> sources = tge::CollectPackSources(argv[2], &error);
  if (error.empty() && !tge::WritePackFile(argv[1], sources, &error)) {
    if (error.empty()) error = "nothing written";
  }
  if (!error.empty()) {
    std::fprintf(stderr, "tge_pack: %s\n", error.c_str());
    return 1;
  }
  std::printf("tge_pack: %zu files into %s\n", sources.size(), argv[1]);
  return 0;
}
