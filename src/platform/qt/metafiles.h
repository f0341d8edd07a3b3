#pragma once
// Windows metafiles (WMF) and enhanced metafiles (EMF) for the screen. The
// only code that sees libwmf and libemf2svg: each library turns a metafile
// into SVG, which Qt SVG draws at the size the picture is shown. The size the
// header reader gives is the picture's natural size.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

namespace platform::qt {

enum class MetafileKind { None, Wmf, Emf };

// What `head` (the first bytes of a file, 64 are plenty) starts, told by its
// magic, whatever the file is called.
MetafileKind SniffMetafile(const QByteArray& head);

// The SVG of a metafile and its natural size, or why there is none.
struct MetafileSvg {
  QByteArray svg;
  QSize natural;
  QString error;  // empty when `svg` is set
};
MetafileSvg MetafileToSvg(const QByteArray& bytes);

// Draws `svg` on white, fitted into `box` keeping the proportions of
// `natural` (an empty box: the natural size), within a bounded number of
// pixels. A null image when Qt SVG cannot read it.
QImage RenderSvg(const QByteArray& svg, QSize natural, QSize box);

// Nothing when `path` is not a metafile; else the picture drawn to fit in
// `box`, or a null image when it is damaged.
std::optional<QImage> DecodeMetafile(const QString& path, QSize box);

}  // namespace platform::qt
