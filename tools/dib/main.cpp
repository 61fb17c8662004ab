#include "tools/dib/DIBTool.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    return orvo::RunDIBTool(args, std::cout, std::cerr);
}
