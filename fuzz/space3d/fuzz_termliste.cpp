// Any bytes as a 3D term list: the reader keeps at most the entry limit,
// every entry is UTF-8 without control characters or byte-order marks and
// within the length of its kind; written and read again the entries that are
// not empty come back as they were; a parametric entry splits into parts of
// itself.
//
// The first byte chooses the kind: bit 0 set for parametric surfaces.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "number_text.h"
#include "term_list.h"
#include "text_codec.h"

namespace {

using namespace kalvo;

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const Termlistenart art = (data[0] & 1) ? Termlistenart::Parameter : Termlistenart::Funktion;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    const Termliste liste = TermlisteAusText(bytes, art);
    Check(liste.eintraege.size() <= kMaxTermlistenEintraege);
    Check(liste.ausgelassen == 0 || liste.eintraege.size() == kMaxTermlistenEintraege);
    std::vector<std::string> voll;
    for (const std::string& e : liste.eintraege) {
        Check(IsValidUtf8(e));
        Check(CharCount(e) <= MaxEintragZeichen(art));
        for (size_t i = 0; i < e.size(); ++i) {
            const auto b = static_cast<unsigned char>(e[i]);
            Check(b >= 0x20 && b != 0x7F);
            if (b == 0xC2 && i + 1 < e.size()) Check(static_cast<unsigned char>(e[i + 1]) >= 0xA0);
        }
        Check(e.find("\xEF\xBB\xBF") == std::string::npos);
        if (!e.empty()) voll.push_back(e);
        const Parameterterme t = ParameterEintragZerlegen(e);
        for (const std::string* teil : {&t.x, &t.y, &t.z})
            Check(teil->size() <= e.size() && e.find(*teil) != std::string::npos);
    }

    const Termliste wieder = TermlisteAusText(TermlisteText(liste.eintraege), art);
    Check(wieder.eintraege == voll);
    return 0;
}
