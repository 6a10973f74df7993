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

// The whole file; "-" reads standard input.
bool read_file(const std::string &path, std::string *content, std::string *error);

// The directory of the running program as the system knows it (not from
// argv[0]), with a separator at the end; empty when it cannot be told.
std::string program_directory();

// Whether path names an existing file; *full is then its absolute form.
bool existing_file(const std::string &path, std::string *full);

// The command line as UTF-8 (on Windows from the wide command line).
std::vector<std::string> program_arguments(int argc, char **argv);
bool environment_value(const char *name, std::string *value);

// Whether standard error is a terminal (a progress bar) or a file or pipe.
bool stderr_is_terminal();

// Binary standard streams (no CR insertion) and a UTF-8 console on Windows.
// The C library's locale stays "C": a desktop host leaves it there (a probe
// add-in in one saw LC_CTYPE "C" under LANG=LC_ALL=de_DE.UTF-8).
void setup_streams();

// setlocale(LC_ALL, ""): the other kind of host, which takes its C-library
// locale from the environment (--host-locale set).
void set_host_locale();

// Whether a host decodes the library's texts as UTF-8. POSIX: the codeset of
// the locale the environment names (LC_ALL, else LC_CTYPE, else LANG, as the
// C library resolves them; a name of no installed locale counts as "C"),
// which both kinds of host decode by. Windows: an ANSI code page of 65001.
// Any other character set is read as ISO 8859-1.
bool host_decodes_utf8();

// A crash inside the library names the call it happened in before the
// process dies; what must stay valid until the next call of this function.
void install_crash_report();
void crash_report_context(const char *what);

#endif
