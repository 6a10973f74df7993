// Tables (text and Markdown) and the data of the plots.
#ifndef ACCURACY_REPORT_H
#define ACCURACY_REPORT_H

#include <cstdio>
#include <string>
#include <vector>

#include "sweep.h"

struct ReportInfo {
    std::string label; // which build was measured
    long samples;      // per region
    uint64_t seed;
};

void print_table(FILE *out, const std::vector<Stats> &all);

// Fills the template's {{...}} fields: label, samples, summary, regions, hard.
bool write_markdown(const std::string &template_path, const std::string &out_path, const std::vector<Stats> &all,
                    const ReportInfo &info);

// x, E and the bound for GAMMA, BESSEL and WEBER on linear grids, one file per
// function and order, for tools/accuracy/plots.gp.
bool write_plot_data(const Library &lib, const std::string &dir);

#endif
