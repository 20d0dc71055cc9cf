#pragma once

#include <QByteArray>
#include <QSize>

#include <array>

class QCustomPlot;

// The chart drawn as a picture file of a chosen size, as the "Picture" page offers it.
namespace ChartPicture {

enum class Format { Png, Jpeg, Bmp, Pdf, Svg };

struct FormatInfo {
    Format format;
    const char *caption;
    const char *suffix;
    const char *filter;  // of the save dialog
    const char *mime;    // of the clipboard copy
    bool raster;
};
inline constexpr std::array<FormatInfo, 5> Formats{{
    {Format::Png, "PNG", ".png", "PNG picture (*.png)", "image/png", true},
    {Format::Jpeg, "JPEG", ".jpg", "JPEG picture (*.jpg *.jpeg)", "image/jpeg", true},
    {Format::Bmp, "BMP", ".bmp", "Bitmap picture (*.bmp)", "image/bmp", true},
    {Format::Pdf, "PDF", ".pdf", "PDF document (*.pdf)", "application/pdf", false},
    {Format::Svg, "SVG", ".svg", "SVG drawing (*.svg)", "image/svg+xml", false},
}};
inline const FormatInfo &info(Format f) { return Formats[size_t(f)]; }

// The file's bytes: pixels for the raster formats, points (1/72 inch) for PDF, user units for
// SVG. Empty when the picture could not be made, or would be a raster of over 64 megapixels.
QByteArray render(QCustomPlot *chart, Format format, QSize size);

}  // namespace ChartPicture
