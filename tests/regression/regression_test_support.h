#pragma once
// A clean program state for every test of the curve fitting and the solver,
// messages recorded instead of shown.

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "lgs.h"
#include "message_sink.h"
#include "nist_data.h"
#include "number_cells.h"
#include "numlib_state.h"
#include "program_state.h"
#include "regression_fit.h"
#include "term.h"

namespace kalvo::test {

class RegressionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        ResetNumlibState();
        ResetRegressionModule();
        ResetLgsHistorie();
        InitTermTrees();
    }
    MessageRecorder messages;
};

using Rows = std::vector<std::pair<std::string, std::string>>;

// Rows of a value table from (x, y) texts, starting at row 1.
inline Messwerttabelle Tabelle(const Rows& rows) {
    Messwerttabelle t;
    for (size_t r = 0; r < rows.size(); ++r) std::tie(t.x[r + 1], t.y[r + 1]) = rows[r];
    return t;
}

// Table rows of (x, f(x)) for x = x0, x0 + dx, ..., in the general number form.
template <typename F>
Rows RowsOf(double x0, double dx, int n, F f) {
    Rows r;
    for (int i = 0; i < n; ++i) r.emplace_back(GeneralNumberText(x0 + i * dx), GeneralNumberText(f(x0 + i * dx)));
    return r;
}

// The pairs of a NIST data set as table rows.
inline Rows RowsOf(const test_support::NistData& d) {
    Rows r;
    for (auto [x, y] : d.pairs) r.emplace_back(GeneralNumberText(x), GeneralNumberText(y));
    return r;
}

}  // namespace kalvo::test
