#include "driver/run.h"

int main(int argc, char** argv) { return hatch::run(argc, argv); }
