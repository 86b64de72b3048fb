#include <iostream>

#include "driver/driver.h"

int main(int argc, char** argv) { return tidewater::runDriver(argc, argv, std::cerr); }
