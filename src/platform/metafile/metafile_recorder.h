#pragma once
// A paint device that records what QPainter draws as a Windows metafile picture,
// to be saved as an enhanced metafile (EMF) or a placeable Windows metafile (WMF).
// One logical unit is one pixel of the given size; fonts and pens are measured
// against 96 dots per inch like the screen, so a drawing routine scales its
// output exactly as it would on the screen.
//
// Painting may start and end several times; every session adds to the picture.
// The picture can be saved at any time, also in the middle of a session.

#include "atomic_file.h"

#include <QColor>
#include <QImage>
#include <QPaintDevice>

#include <cstdint>
#include <memory>
#include <string>

namespace kalvo {

namespace gdi {
struct Picture;
}

enum class MetafileFormat { Emf, Wmf };

// Character sets a font can ask for; a text that its font's set cannot show is
// written with a font of a set that can.
enum class FontCharset : std::uint8_t { Ansi = 0, Greek = 161, Russian = 204, EastEurope = 238 };

class MetafileRecorder : public QPaintDevice {
public:
    // Sizes are kept within 1 to 32767 pixels.
    MetafileRecorder(int widthPx, int heightPx);
    ~MetafileRecorder() override;
    MetafileRecorder(const MetafileRecorder&) = delete;
    MetafileRecorder& operator=(const MetafileRecorder&) = delete;

    QPaintEngine* paintEngine() const override;

    // The character set written into the fonts from now on (QFont has none).
    void setFontCharset(FontCharset charset);

    // Every text of the picture (recorded so far) in GDI's opaque background
    // mode: its cell is filled with the colour before the letters are drawn.
    void setOpaqueTextBackground(const QColor& color);

    // The file's bytes; empty when the open work budget is spent on the way
    // (an output the user cancelled).
    std::string toEmf() const;
    std::string toWmf() const;
    std::string toBytes(MetafileFormat format) const { return format == MetafileFormat::Emf ? toEmf() : toWmf(); }
    // Written to a temporary file and renamed; on failure the old file stays.
    // Cancelled on the way, nothing is written and the result fails with no
    // error text.
    WriteResult save(const std::string& path, MetafileFormat format) const;

    // The picture drawn on white, one image pixel per logical unit; null
    // when the open work budget is spent on the way (a cancelled output).
    QImage toImage() const;

    // Whether anything has been drawn yet.
    bool isEmpty() const;

    // ".emf" (any case) means EMF, everything else WMF.
    static MetafileFormat FormatForFileName(const std::string& fileName);

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    class Engine;
    std::unique_ptr<gdi::Picture> picture_;
    std::unique_ptr<Engine> engine_;
};

}  // namespace kalvo
