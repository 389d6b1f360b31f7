#pragma once

/// `tessel convert [options] PATH...`: converts without a window. Returns the exit status.
int runConvertCommand(int argc, char *argv[]);
