// murrelet-scenario: plays a scenario script (a file named on the command line,
// or standard input) against the program on the simulated platform.
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "tools/scenario/scenario.h"

int main(int argc, char** argv) {
  if (argc > 2) {
    std::cerr << "usage: murrelet-scenario [SCRIPT]\n";
    return murrelet::scenario::kBadScript;
  }
  std::string script;
  if (argc == 2) {
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
      std::cerr << "cannot read " << argv[1] << "\n";
      return murrelet::scenario::kBadScript;
    }
    script.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  } else {
    script.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  }
  try {
    murrelet::scenario::Scenario scenario(std::cout, std::cerr);
    return scenario.RunScript(script);
  } catch (const std::exception& error) {
    std::cerr << "internal error: " << error.what() << "\n";
    return murrelet::scenario::kBadScript;
  }
}
