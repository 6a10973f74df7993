// The text of quorel-host --help.
#ifndef QUOREL_HOST_HELP_H
#define QUOREL_HOST_HELP_H

extern const char help_text[];

#endif
