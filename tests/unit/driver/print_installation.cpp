// Prints the bin and installation directories that the driver's start-up
// would compute for this executable, one per line.
#include <iostream>

#include "base/installation.h"

int main(int, char** argv) {
  tidewater::setUpDirectories(tidewater::executablePath(argv[0]));
  std::cout << tidewater::binDirectory() << '\n' << tidewater::installationDirectory() << '\n';
  return 0;
}
