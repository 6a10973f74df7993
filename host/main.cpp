// quorel-host: loads the add-in at run time, lists its catalogue, evaluates
// formulas, checks case files and evaluates CSV sheets, calling every function
// as a spreadsheet does.
// This file only dispatches: options.cpp reads the command line, input.cpp the
// files and directives, command_NAME.cpp does each command.
#include "commands.h"
#include "help.h"
#include "options.h"
#include "platform.h"

#include <string>
#include <vector>

struct Command {
    const char *name;
    int (*run)(const Options &o);
};

static const Command commands[] = {
    {"list", run_list},
    {"eval", run_eval},
    {"check", run_check},
    {"sheet", run_sheet},
};

int main(int argc, char **argv)
{
    setup_streams();
    install_crash_report();
    std::vector<std::string> args = program_arguments(argc, argv);
    Options o;
    int status = parse_options(args, &o);
    if (status >= 0)
        return status;
    if (o.host_locale_set)
        set_host_locale();
    if (o.command.empty())
        return usage_error("no command given: list, eval, check or sheet");
    if (o.command == "help") {
        say(stdout, help_text);
        return EXIT_OK;
    }
    if (o.command != "eval" && (!o.inputs.empty() || o.settings.dump_blocks))
        return usage_error("-f and --dump-blocks belong to eval");
    if (o.command != "eval" && o.command != "sheet" && !o.output.empty())
        return usage_error("--output belongs to eval and sheet");
    if (o.command != "sheet" && o.delimiter)
        return usage_error("--delimiter belongs to sheet");
    for (const Command &command : commands)
        if (o.command == command.name)
            return command.run(o);
    return usage_error("unknown command \"" + o.command + "\": list, eval, check or sheet");
}
