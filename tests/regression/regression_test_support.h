#pragma once
// A clean program state for every test of the curve fitting and the solver,
// messages recorded instead of shown.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "lgs.h"
#include "message_sink.h"
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

// Rows of a value table from (x, y) texts, starting at row 1.
inline Messwerttabelle Tabelle(const std::vector<std::pair<std::string, std::string>>& rows) {
    Messwerttabelle t;
    size_t r = 1;
    for (const auto& [x, y] : rows) {
        t.x[r] = x;
        t.y[r] = y;
        ++r;
    }
    return t;
}

// The Pontius data set of the NIST reference data: a quadratic on x up to
// 3e6, (x, y) pairs in file order and the certified B0, B1, B2.
struct Pontius {
    std::vector<std::pair<double, double>> pairs;
    double b[3] = {0, 0, 0};
    double residualSd = 0;
};

inline Pontius ReadPontius() {
    Pontius d;
    std::ifstream in(std::string(KALVO_TEST_DATA_DIR) + "/nist/Pontius.txt");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream ss(line);
        if (line.rfind("# certified:", 0) == 0) {
            std::string word;
            ss >> word >> word >> word;
            if (word.size() == 2 && word[0] == 'B' && word[1] >= '0' && word[1] <= '2') {
                const int k = word[1] - '0';
                ss >> word >> d.b[k];
            }
            else if (word == "residual_sd=") ss >> d.residualSd;
        } else if (!line.empty() && line[0] != '#') {
            double y = 0, x = 0;
            if (ss >> y >> x) d.pairs.emplace_back(x, y);
        }
    }
    return d;
}

// The Norris data set of the NIST reference data: (x, y) pairs in file order
// and the certified values.
struct Norris {
    std::vector<std::pair<double, double>> pairs;
    double b0 = 0, b1 = 0, residualSd = 0, rSquared = 0;
};

inline Norris ReadNorris() {
    Norris d;
    std::ifstream in(std::string(KALVO_TEST_DATA_DIR) + "/nist/Norris.txt");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream ss(line);
        if (line.rfind("# certified:", 0) == 0) {
            std::string word;
            while (ss >> word) {
                if (word == "B0") { ss >> word >> d.b0; }
                else if (word == "B1") { ss >> word >> d.b1; }
                else if (word == "residual_sd=") ss >> d.residualSd;
                else if (word == "r_squared=") ss >> d.rSquared;
            }
        } else if (!line.empty() && line[0] != '#') {
            double y = 0, x = 0;
            if (ss >> y >> x) d.pairs.emplace_back(x, y);
        }
    }
    return d;
}

}  // namespace kalvo::test
