#include "parameter_list.h"

#include <string>

#include "term.h"

namespace kalvo {

bool ReadParameterliste(Funktionsterm& list, ParameterWerteFeld& values) {
    list = TermFieldText(list.str());
    std::string work = list.str();
    if (work.empty()) work = "0;";
    if (work.back() != ';') work.push_back(';');

    list = "";
    gTerms.TermOK = true;
    gTerms.ParameterListeFehler = false;
    int count = 0;
    while (!work.empty() && count < kMaxParameterValues) {
        const size_t semicolon = work.find(';');
        const std::string entry = work.substr(0, semicolon);
        work.erase(0, semicolon + 1);
        double value = 0;
        if (ParseTerm(ZahlTermbaum, entry, false)) value = EvalTermDerivative(ZahlTermbaum, 0, 0, 0, 0, 0);
        if (gTerms.TermOK) {
            values[static_cast<size_t>(count++)] = value;
            list = list.str() + entry + ";";
        } else {
            gTerms.ParameterListeFehler = true;
        }
    }
    values[kMaxParameterValues] = count;
    return !gTerms.ParameterListeFehler;
}

}  // namespace kalvo
