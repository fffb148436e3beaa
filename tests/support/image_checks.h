#pragma once
// Small checks on rendered pictures, shared by the widget and drawing tests.

#include <QColor>
#include <QImage>

#include <limits>

namespace kalvo::test_support {

inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Some pixel of the image has exactly this colour.
inline bool Contains(const QImage& image, const QColor& colour) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour) return true;
    return false;
}

}  // namespace kalvo::test_support
