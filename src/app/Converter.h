#pragma once

// Converter mode: converts every file named on the command line, then waits for Enter.
void converter(int argc, char** argv);
