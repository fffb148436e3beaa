// The reader of measured-data files: any bytes, as the own format and as
// plain text, must give at most 500 pairs of finite numbers.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "measured_data.h"
#include "text_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = kalvo::DecodeFileText(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const kalvo::Messdaten& d : {kalvo::LoadMesstabelleDat(text), kalvo::LoadMesswerteTxt(text)}) {
        if (d.N < 0 || d.N > kalvo::kMaxDateiWertepaare) std::abort();
        if (d.X.size() != static_cast<size_t>(d.N) + 1 && d.N > 0) std::abort();
        for (int k = 1; k <= d.N; ++k)
            if (!std::isfinite(d.X[static_cast<size_t>(k)]) || !std::isfinite(d.Y[static_cast<size_t>(k)])) std::abort();
    }
    return 0;
}
