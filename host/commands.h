// The commands of quorel-host, one file each (command_NAME.cpp). Each gets
// the parsed command line and returns the exit status.
#ifndef QUOREL_HOST_COMMANDS_H
#define QUOREL_HOST_COMMANDS_H

#include "options.h"

int run_list(const Options &o);
int run_eval(const Options &o);
int run_check(const Options &o);
int run_sheet(const Options &o);

#endif
