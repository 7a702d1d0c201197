#include "readablecolours.h"

#include <QHash>
#include <QImage>

#include <algorithm>
#include <cmath>

namespace hvx {

namespace {

// Colours darker than this draw a picture's lines; lighter ones fill it.
constexpr double DarkColour = 0.25;

double channel(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }

double luminance(const QColor &c)
{
    const QColor rgb = c.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

} // namespace

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor &colour, const QColor &background)
{
    if (contrastRatio(colour, background) >= LeastContrast)
        return colour;
    // Away from the background's lightness: up on a dark window, down on a
    // light one (the middle is where black and white stand out alike).
    const bool lighten = luminance(background) < 0.18;
    const QColor hsl = colour.toHsl();
    for (int step = 1; step <= 100; ++step) {
        const double l = hsl.lightnessF() + (lighten ? 1 : -1) * step / 100.0;
        const QColor tried = QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(), std::clamp(l, 0.0, 1.0),
                                              hsl.alphaF());
        if (contrastRatio(tried, background) >= LeastContrast)
            return tried.toRgb();
    }
    return lighten ? QColor(Qt::white) : QColor(Qt::black);
}

QPixmap readablePicture(const char *const *xpm, const QColor &background)
{
    QImage image = QPixmap(xpm).toImage().convertToFormat(QImage::Format_ARGB32);
    QHash<QRgb, QRgb> made;
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            if (qAlpha(pixel) == 0 || luminance(QColor(pixel)) >= DarkColour)
                continue;
            auto found = made.constFind(pixel);
            if (found == made.constEnd())
                found = made.insert(pixel, readableOn(QColor(pixel), background).rgba());
            line[x] = *found;
        }
    }
    return QPixmap::fromImage(image);
}

} // namespace hvx
