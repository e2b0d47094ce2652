#include "Commands.h"

#include <iostream>

int main(int argc, char** argv) {
    return vorlek::db::RunTool(std::vector<std::string>(argv, argv + argc), std::cout, std::cerr);
}
