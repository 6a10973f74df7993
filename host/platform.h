// What differs between Linux and Windows: loading a library, file names,
// the command line, standard streams and the crash report.
#ifndef QUOREL_HOST_PLATFORM_H
#define QUOREL_HOST_PLATFORM_H

#include <string>
#include <vector>

// dlopen / LoadLibrary by path. A bare file name is taken relative to the
// current directory, never searched for along the library path.
void *library_load(const std::string &path, std::string *error);
void *library_symbol(void *handle, const char *name);

bool read_file(const std::string &path, std::string *content, std::string *error);

// The command line as UTF-8 (on Windows from the wide command line).
std::vector<std::string> program_arguments(int argc, char **argv);
bool environment_value(const char *name, std::string *value);

// Whether standard error is a terminal (a progress bar) or a file or pipe.
bool stderr_is_terminal();

// Binary standard streams (no CR insertion) and a UTF-8 console on Windows;
// the character-type locale from the environment, as a host's own.
void setup_streams();

// Whether the process decodes the library's texts as UTF-8: the codeset of
// its LC_CTYPE locale (POSIX) or an ANSI code page of 65001 (Windows). Any
// other character set is read as ISO 8859-1.
bool process_decodes_utf8();

// A crash inside the library names the call it happened in before the
// process dies; what must stay valid until the next call of this function.
void install_crash_report();
void crash_report_context(const char *what);

#endif
