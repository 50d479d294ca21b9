// Writes the manual page kvd507(1) into the file it is given; the build installs what it writes.
#include <fstream>
#include <iostream>

#include "cli/ManPage.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "Naudojimas: kvd507_man_page FAILAS\n";
    return 2;
  }
  std::ofstream file(argv[1], std::ios::binary);
  file << kvd507::cli::manPage();
  file.close();
  return file ? 0 : 1;
}
