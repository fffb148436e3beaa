#pragma once
// A data set of the NIST reference data in tests/data/nist: the (x, y) pairs
// in file order and the certified values by name ("B0", "sd B0", ...,
// "residual_sd", "r_squared").

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace kalvo::test_support {

struct NistData {
    std::vector<std::pair<double, double>> pairs;
    std::map<std::string, double> certified;
};

inline NistData ReadNist(const std::string& name) {
    NistData d;
    std::ifstream in(std::string(KALVO_TEST_DATA_DIR) + "/nist/" + name);
    std::string line, key, word;
    while (std::getline(in, line)) {
        if (line.rfind("# certified:", 0) == 0) {
            std::istringstream ss(line.substr(12));
            ss >> key;
            if (key.back() == '=') {
                key.pop_back();
                ss >> d.certified[key];
            }
            while (ss >> word) {
                if (word == "estimate=") ss >> d.certified[key];
                if (word == "sd=") ss >> d.certified["sd " + key];
            }
        } else if (!line.empty() && line[0] != '#') {
            std::istringstream ss(line);
            double y = 0, x = 0;
            if (ss >> y >> x) d.pairs.emplace_back(x, y);
        }
    }
    return d;
}

}  // namespace kalvo::test_support
