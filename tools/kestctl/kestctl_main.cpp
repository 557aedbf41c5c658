#include <stdio.h>

#include <string>

#include "tools/kestctl/kestctl.h"

int main(int argc, char** argv) {
    std::string out;
    std::string err;
    int code = RunKestctl(argc, argv, &out, &err);
    fputs(out.c_str(), stdout);
    fputs(err.c_str(), stderr);
    return code;
}
