// quorel-host check: case files, each line a formula and its expected result.
#include "commands.h"

#include "input.h"
#include "text.h"
#include "ulp.h"

// A text matches the same bytes; a number matches by same_bits (an expected
// NaN takes any NaN), or within ~N units in the last place when both are finite.
static bool matches(const Result &r, const Expected &e)
{
    if (e.value.kind == VALUE_TEXT)
        return r.is_text && r.text == e.value.text;
    if (r.is_text)
        return false;
    double want = e.value.number, got = r.number;
    // Infinities and NaN match by same_bits only, tolerance or not.
    bool finite = want - want == 0 && got - got == 0;
    if (e.tolerant && finite)
        return ulp_distance(got, want) <= e.ulps;
    return same_bits(got, want);
}

static std::string expected_text(const Expected &e)
{
    if (e.value.kind == VALUE_TEXT)
        return quote_text(latin1_to_utf8(e.value.text));
    std::string s = format_number(e.value.number);
    if (e.tolerant)
        s += " ~" + std::to_string(e.ulps);
    return s;
}

struct CheckRun : Host {
    unsigned passed, failed;
    bool input_error;
};

static void check_line(CheckRun *run, const Place &place, const std::string &line)
{
    size_t start;
    Formula formula;
    switch (read_formula(run, place, line, &start, &formula)) {
    case LINE_SKIPPED:
        return;
    case LINE_BAD_DIRECTIVE:
        run->input_error = true;
        return;
    case LINE_BAD_FORMULA:
        run->failed++;
        run->input_error = true;
        return;
    case LINE_FORMULA:
        break;
    }
    SourceError error;
    Expected expected;
    size_t arrow = skip_blanks(line, formula.end);
    bool has_arrow = line.compare(arrow, 2, "=>") == 0;
    if (!has_arrow) {
        error.offset = arrow;
        // "F(x) = 1" is a case with its arrow mistyped, "F(x) * 2" arithmetic.
        bool arithmetic = operator_at(line, arrow) && line[arrow] != '=';
        error.message = arithmetic ? unexpected_after_formula(line, arrow) : "'=>' expected after the formula";
    }
    // A missing '=>' or a bad expected value is an input error like a bad argument.
    std::string source;
    Result result;
    EvalStatus status = EVAL_INPUT_ERROR;
    if (has_arrow && parse_expected(line, arrow + 2, &expected, &error))
        status = evaluate_formula(*run, place, line, start, formula, &source, &result, &error);
    if (status == EVAL_INPUT_ERROR || status == EVAL_NAME_ERROR) {
        report(place, line, error);
        run->failed++;
        run->input_error = true;
        return;
    }
    std::string context = where(place) + ": " + source;
    if (status != EVAL_OK) {
        say(stdout, context + ": " + error.message + "\n");
        run->failed++;
        return;
    }
    if (matches(result, expected)) {
        run->passed++;
        return;
    }
    say(stdout, context + ": got " + result_text(result, true) + ", expected " + expected_text(expected) + "\n");
    run->failed++;
}

int run_check(const Options &o)
{
    if (o.operands.empty())
        return usage_error("check needs at least one case file");
    CheckRun run;
    if (!open_library(o, &run.lib, &run.functions))
        return EXIT_USAGE;
    run.passed = run.failed = 0;
    run.input_error = false;
    for (const std::string &file : o.operands) {
        auto line_fn = [&run](const Place &place, const std::string &line) { check_line(&run, place, line); };
        unsigned before = run.passed + run.failed;
        if (!read_lines(&run, o, file, line_fn)) {
            run.input_error = true;
        } else if (run.passed + run.failed == before) {
            // A check that checked nothing has not passed.
            say(stderr, "quorel-host: " + file_name(file) + " holds no cases\n");
            run.input_error = true;
        }
    }
    say(stdout, std::to_string(run.passed) + " passed, " + std::to_string(run.failed) + " failed\n");
    if (run.input_error)
        return EXIT_USAGE;
    return run.failed ? EXIT_FAILED : EXIT_OK;
}
