#include "shell/Shell.h"

int main() { return RunGame(); }
