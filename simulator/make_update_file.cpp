// make-update-file: writes an update file for a product (simulator/README.md).
#include "simulator/update_file_maker.h"

#include <iostream>

int main(int argc, char* argv[])
{
    return MakeUpdateFile({argv + 1, argv + argc}, std::cout, std::cerr);
}
