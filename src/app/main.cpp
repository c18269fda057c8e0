#include "app/QuorilApp.h"

int main(int argc, char** argv) { return RunQuoril(argc, argv); }
