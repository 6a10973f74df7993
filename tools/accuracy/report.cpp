#include "report.h"

#include <cctype>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

static std::string num(double v)
{
    char b[32];
    if (v == 0)
        return "0";
    snprintf(b, sizeof b, "%.3g", v);
    return b;
}

static std::string input_text(const Input &in)
{
    char b[256];
    format_input(in, b, sizeof b);
    return b;
}

static std::string function_label(const Region &r)
{
    std::string s = func_info[r.f].sheet;
    if (func_info[r.f].kind == K_ORDER && !r.named)
        s += " n=" + std::to_string(r.order);
    return s;
}

void print_table(FILE *out, const std::vector<Stats> &all)
{
    fprintf(out, "%-22s %8s %8s %10s %10s %10s %6s %5s  %s\n", "region", "samples", "measured", "worst E",
            "median E", "E/bound", "over", "hard", "worst E/bound at; worst E at");
    for (const Stats &s : all) {
        fprintf(out, "%-22s %8ld %8ld %10s %10s %10s %6ld %5ld  %s; %s\n", region_key(*s.region).c_str(),
                s.samples, s.measured, num(s.worst_e.e).c_str(), num(s.median()).c_str(),
                num(s.worst_ratio.ratio).c_str(), s.over, s.hard,
                s.measured ? input_text(s.worst_ratio.in).c_str() : "-",
                s.errors.empty() ? "-" : input_text(s.worst_e.in).c_str());
    }
    bool any = false;
    for (const Stats &s : all) {
        if (!s.hard)
            continue;
        if (!any)
            fprintf(out, "\nhard-rule violations:\n");
        any = true;
        fprintf(out, "  %s: %ld, first %s = %.17g%+.17gi (%s)\n", region_key(*s.region).c_str(), s.hard,
                input_text(s.first_hard.in).c_str(), s.first_hard.got.re, s.first_hard.got.im, s.hard_rule);
    }
}

// ---- Markdown

static std::string code(const std::string &s) { return "`" + s + "`"; }

struct Summary {
    Func f;
    long samples = 0, measured = 0, over = 0, hard = 0;
    double worst_e = 0, worst_ratio = 0;
    const Stats *worst_e_at = nullptr, *worst_ratio_at = nullptr;
};

static std::string summary_table(const std::vector<Stats> &all)
{
    std::map<int, Summary> by;
    for (const Stats &s : all) {
        Summary &u = by[s.region->f];
        u.f = s.region->f;
        u.samples += s.samples;
        u.measured += s.measured;
        u.over += s.over;
        u.hard += s.hard;
        if (!s.errors.empty() && (!u.worst_e_at || s.worst_e.e > u.worst_e)) {
            u.worst_e = s.worst_e.e;
            u.worst_e_at = &s;
        }
        if (s.measured && (!u.worst_ratio_at || s.worst_ratio.ratio > u.worst_ratio)) {
            u.worst_ratio = s.worst_ratio.ratio;
            u.worst_ratio_at = &s;
        }
    }
    std::ostringstream o;
    o << "| function | samples | worst E | worst E/bound | where | over the bound | hard rules |\n";
    o << "|---|---:|---:|---:|---|---:|---:|\n";
    for (auto &kv : by) {
        const Summary &u = kv.second;
        std::string where = u.worst_ratio_at ? region_key(*u.worst_ratio_at->region) : "";
        o << "| " << func_info[u.f].sheet << " (" << code(func_info[u.f].name) << ") | " << u.samples << " | "
          << num(u.worst_e) << " | " << num(u.worst_ratio) << " | " << code(where) << " | " << u.over << " | "
          << u.hard << " |\n";
    }
    return o.str();
}

static std::string region_tables(const std::vector<Stats> &all)
{
    std::ostringstream o;
    Func current = F_COUNT;
    for (const Stats &s : all) {
        if (s.region->f != current) {
            current = s.region->f;
            // An anchor per function (its sheet name in lower case) for the function reference.
            std::string id = func_info[current].sheet;
            for (char &c : id)
                c = (char)std::tolower((unsigned char)c);
            o << "\n<a id=\"" << id << "\"></a>\n\n#### " << func_info[current].sheet << " ("
              << code(func_info[current].name) << ")\n\n";
            o << "| region | sampled | samples | worst E | median E | worst E/bound | over | hard | "
                 "worst E/bound at |\n";
            o << "|---|---|---:|---:|---:|---:|---:|---:|---|\n";
        }
        std::string at = s.measured ? code(input_text(s.worst_ratio.in)) : "";
        o << "| " << code(region_key(*s.region)) << " | " << s.region->what << " | " << s.samples << " | "
          << num(s.worst_e.e) << " | " << num(s.median()) << " | " << num(s.worst_ratio.ratio) << " | " << s.over
          << " | " << s.hard << " | " << at << " |\n";
    }
    return o.str();
}

static std::string hard_list(const std::vector<Stats> &all)
{
    std::ostringstream o;
    for (const Stats &s : all) {
        if (!s.hard)
            continue;
        char got[96];
        snprintf(got, sizeof got, is_complex(s.region->f) ? "%.17g%+.17gi" : "%.17g", s.first_hard.got.re,
                 s.first_hard.got.im);
        o << "- " << code(region_key(*s.region)) << ": " << s.hard << " samples; first " << code(input_text(s.first_hard.in))
          << " = " << code(got) << " (" << s.hard_rule << ")\n";
    }
    std::string r = o.str();
    return r.empty() ? "None.\n" : r;
}

static std::string failing_list(const std::vector<Stats> &all)
{
    std::ostringstream o;
    for (const Stats &s : all)
        if (s.fails())
            o << "- " << code(region_key(*s.region)) << " (" << function_label(*s.region) << ", " << s.region->what
              << "): " << s.over << " of " << s.measured << " over the bound, " << s.hard
              << " hard; worst E " << num(s.worst_e.e) << ", worst E/bound " << num(s.worst_ratio.ratio) << " at "
              << code(input_text(s.worst_ratio.in)) << "\n";
    std::string r = o.str();
    return r.empty() ? "None: every sample meets the target.\n" : r;
}

bool write_markdown(const std::string &template_path, const std::string &out_path, const std::vector<Stats> &all,
                    const ReportInfo &info)
{
    std::ifstream in(template_path);
    if (!in) {
        fprintf(stderr, "quorel-accuracy: cannot read %s\n", template_path.c_str());
        return false;
    }
    std::stringstream buf;
    buf << in.rdbuf();
    std::string text = buf.str();
    std::map<std::string, std::string> fields = {
        {"label", info.label},
        {"samples", std::to_string(info.samples)},
        {"seed", std::to_string(info.seed)},
        {"summary", summary_table(all)},
        {"failing", failing_list(all)},
        {"regions", region_tables(all)},
        {"hard", hard_list(all)},
    };
    std::string result;
    size_t pos = 0;
    for (;;) {
        size_t open = text.find("{{", pos);
        if (open == std::string::npos)
            break;
        size_t close = text.find("}}", open);
        if (close == std::string::npos)
            break;
        std::string key = text.substr(open + 2, close - open - 2);
        result += text.substr(pos, open - pos);
        auto it = fields.find(key);
        if (it == fields.end()) {
            fprintf(stderr, "quorel-accuracy: unknown field {{%s}} in %s\n", key.c_str(), template_path.c_str());
            return false;
        }
        result += it->second;
        pos = close + 2;
    }
    result += text.substr(pos);
    std::ofstream out(out_path);
    out << result;
    return (bool)out;
}

// ---- plot data

static bool plot_file(const Library &lib, const std::string &path, Func f, int order, double lo, double hi, int count)
{
    FILE *out = fopen(path.c_str(), "w");
    if (!out) {
        fprintf(stderr, "quorel-accuracy: cannot write %s\n", path.c_str());
        return false;
    }
    Truth t, other;
    truth_init(&t);
    truth_init(&other);
    Rng rng(0x9107 + (uint64_t)f * 1000 + (uint64_t)(order + 500));
    for (int i = 0; i < count; i++) {
        Input in{f, order, {rng.uniform(lo, hi), 0, 0, 0}};
        if (in.a[0] == 0)
            continue;
        Value got = evaluate(lib, in);
        Verdict v = judge_input(in, got, &t, &other);
        if (v.measured)
            fprintf(out, "%.17g %.6g %.6g\n", in.a[0], v.e, v.bound);
    }
    truth_clear(&t);
    truth_clear(&other);
    fclose(out);
    return true;
}

bool write_plot_data(const Library &lib, const std::string &dir)
{
    bool ok = plot_file(lib, dir + "/gamma.dat", F_GAMMA, 0, -10, 171.6, 4000);
    for (int n : {0, 1, 5, 20, 100}) {
        ok = ok && plot_file(lib, dir + "/jn_" + std::to_string(n) + ".dat", F_JN, n, 0, 150, 3000);
        ok = ok && plot_file(lib, dir + "/yn_" + std::to_string(n) + ".dat", F_YN, n, 0, 150, 3000);
    }
    return ok;
}
