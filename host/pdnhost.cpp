// pdnhost: loads the module library the way the host application does and drives one wizard from the command line.
#include "host/PdnHost.h"

#include <iostream>

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  for (const std::string& argument : arguments)
    if (argument == "--help" || argument == "-h") {
      std::cout << host::PdnHostUsage();
      return 0;
    }
  host::PdnHostOptions options;
  try {
    options = host::ParsePdnHostArguments(arguments, PDNHOST_DEFAULT_LIBRARY, PDNHOST_DEFAULT_BOARD);
  } catch (const host::PdnHostUsageError& error) {
    std::cerr << "pdnhost: " << error.what() << "\n" << host::PdnHostUsage();
    return 2;
  }
  host::PdnHost pdnhost(std::cout);
  return pdnhost.Run(options);
}
