#include "parameter_list.h"

#include <numbers>
#include <cmath>

#include <gtest/gtest.h>

#include "message_sink.h"
#include "term.h"

namespace kalvo {
namespace {

struct ListCase { const char* input; const char* shown; std::vector<double> values; bool refused; size_t messages; };

TEST(ParameterListe, EntriesAreReadRewrittenAndCounted) {
    const ListCase cases[] = {
        {"2; 4,5; sqrt(2)", "2;4,5;sqrt(2);", {2, 4.5, std::sqrt(2.0)}, false, 0}, {"", "0;", {0}, false, 0},
        {"1;2;3;4;5;6;7;8;9;10;11;12", "1;2;3;4;5;6;7;8;9;10;", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, false, 0},
        {"1;x;3", "1;3;", {1, 3}, true, 1}, {"1;1/0;3", "1;3;", {1, 3}, true, 0},
        {"PI/2;", "\xC2\xB6/2;", {std::numbers::pi / 2}, false, 0}, {"1;;2", "1;;2;", {1, 0, 2}, false, 0},
        {"x;y", "", {}, true, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        ResetProgramState();
        InitTermTrees();
        MessageRecorder messages;
        Funktionsterm list = c.input;
        ParameterWerteFeld values{};
        EXPECT_EQ(ReadParameterliste(list, values), !c.refused);
        EXPECT_EQ(gTerms.ParameterListeFehler, c.refused);
        EXPECT_EQ(list.str(), c.shown);
        ASSERT_EQ(values[kMaxParameterValues], static_cast<double>(c.values.size()));
        for (size_t i = 0; i < c.values.size(); ++i) EXPECT_DOUBLE_EQ(values[i], c.values[i]);
        EXPECT_EQ(messages.messages().size(), c.messages);
    }
}

TEST(ParameterListe, TheRewrittenListStaysWithinItsLength) {
    ResetProgramState();
    InitTermTrees();
    Funktionsterm list = "123456789012345678901234567890;123456789012345678901234567890;"
                         "123456789012345678901234567890;123456789012345678901234567890;1";
    ParameterWerteFeld values{};
    ReadParameterliste(list, values);
    EXPECT_LE(list.str().size(), kTermChars);
    EXPECT_EQ(values[kMaxParameterValues], 4);
}

}  // namespace
}  // namespace kalvo
