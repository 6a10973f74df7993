// quorel-host eval: formulas from the command line and from files, one result
// per formula.
#include "commands.h"

#include "input.h"

struct EvalRun : Host {
    bool case_output;
    int status;
};

static void eval_line(EvalRun *run, const Place &place, const std::string &line)
{
    size_t start;
    Formula formula;
    // A file may hold blank lines; a formula on the command line may not be blank.
    if (place.file.empty() && skip_blanks(line, 0) == line.size()) {
        say(stderr, where(place) + ": empty formula\n");
        run->status = EXIT_USAGE;
        return;
    }
    LineKind kind = read_formula(run, place, line, &start, &formula);
    if (kind != LINE_FORMULA) {
        if (kind != LINE_SKIPPED)
            run->status = EXIT_USAGE;
        return;
    }
    SourceError error;
    // A case file's "=> EXPECTED" is ignored, so case files can be evaluated too.
    size_t rest = skip_blanks(line, formula.end);
    if (rest < line.size() && line.compare(rest, 2, "=>") != 0) {
        error.offset = rest;
        error.message = unexpected_after_formula(line, rest);
        report(place, line, error);
        run->status = EXIT_USAGE;
        return;
    }
    std::string source;
    Result result;
    switch (evaluate_formula(*run, place, line, start, formula, &source, &result, &error)) {
    case EVAL_OK:
        say(stdout, run->case_output ? source + " => " + result_text(result, true) + "\n"
                                     : result_text(result, false) + "\n");
        break;
    case EVAL_DUMPED:
        break;
    case EVAL_INPUT_ERROR:
    case EVAL_NAME_ERROR:
        report(place, line, error);
        run->status = EXIT_USAGE;
        break;
    case EVAL_UNAVAILABLE:
        say(stderr, where(place) + ": " + error.message + "\n");
        run->status = EXIT_USAGE;
        break;
    case EVAL_LIBRARY_FAULT:
        say(stderr, where(place) + ": " + error.message + "\n");
        if (run->status == EXIT_OK)
            run->status = EXIT_FAILED;
        break;
    }
}

int run_eval(const Options &o)
{
    if (o.inputs.empty())
        return usage_error("eval needs a formula or -f FILE");
    EvalRun run;
    if (!open_library(o, &run.lib, &run.functions))
        return EXIT_USAGE;
    run.status = EXIT_OK;
    run.case_output = o.output == "case" ||
                      (o.output.empty() && (o.inputs.size() > 1 || (o.inputs.size() == 1 && o.inputs[0].is_file)));
    // Formulas on the command line in a row form one input, so a directive
    // among them lasts until the next file; a file starts afresh.
    unsigned formula_number = 0;
    bool after_file = true;
    for (const EvalInput &input : o.inputs) {
        if (input.is_file) {
            auto line_fn = [&run](const Place &place, const std::string &line) { eval_line(&run, place, line); };
            if (!read_lines(&run, o, input.text, line_fn))
                run.status = EXIT_USAGE;
            after_file = true;
            continue;
        }
        if (after_file)
            start_input(&run, o);
        after_file = false;
        eval_line(&run, Place{std::string(), ++formula_number}, input.text);
    }
    return run.status;
}
