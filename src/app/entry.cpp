// The executable's entry: no command-line arguments are used.
#include "app/main_loop.h"

int main() { return BrindomaMain(); }
