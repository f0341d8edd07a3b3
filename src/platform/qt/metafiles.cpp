#include "platform/qt/metafiles.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <span>
#include <utility>

#include "platform/gdiplus/formats/byte_view.h"
#include "platform/gdiplus/header_reader.h"
#include "runtime/error.h"

// Last: libwmf defines macros named like our byte readers.
#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/svg.h>

namespace platform::qt {

namespace {

using gdiplus::ByteView;

// A metafile is a list of drawing commands: a few megabytes are already a
// very large one. What a hostile one can make the libraries write and Qt
// draw is bounded as well.
constexpr qint64 kMaxMetafileBytes = 32 << 20;
constexpr qsizetype kMaxSvgBytes = 64 << 20;
constexpr double kMaxDrawnPixels = 16.0 * 1024 * 1024;

// Neither library says it may be used from two threads at once, and pictures
// are decoded on several.
std::mutex& LibraryLock() {
  static std::mutex lock;
  return lock;
}

MetafileSvg Failure(const char* why) { return {{}, {}, QString::fromUtf8(why)}; }

QSize Natural(const gdiplus::PictureHeader& header) { return {header.width, header.height}; }

std::span<const std::uint8_t> Bytes(const QByteArray& bytes) {
  return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())};
}

// The records must tile the file up to their end-of-file record, each inside
// it; the libraries then never read past the bytes they are given. Raises
// (runtime::Error) where they do not.
void CheckEmfRecords(const ByteView& v) {
  constexpr std::uint32_t kEof = 14;
  std::uint64_t at = 0;
  for (;;) {
    const std::uint32_t type = v.U32le(at);
    const std::uint32_t size = v.U32le(at + 4);
    if (size < 8 || size % 4 != 0) gdiplus::RejectPicture();
    v.Slice(at, size);
    if (type == kEof) return;
    at += size;
  }
}

constexpr std::uint64_t kPlaceableBytes = 22;

void CheckWmfRecords(const ByteView& v) {
  const std::uint64_t end = kPlaceableBytes + 2ull * v.U32le(kPlaceableBytes + 6);
  v.Slice(0, end);
  std::uint64_t at = kPlaceableBytes + 2ull * v.U16le(kPlaceableBytes + 2);
  for (;;) {
    const std::uint64_t size = 2ull * v.U32le(at);
    if (size < 6 || at + size > end) gdiplus::RejectPicture();
    if (v.U16le(at + 4) == 0) return;  // the end-of-file record
    at += size;
  }
}

// libwmf writes its SVG through this stream; past the bound it stops taking
// text and tells the player to give up.
struct SvgSink {
  QByteArray text;
  bool full = false;
};

int SinkPut(char* text, void* context) {
  auto* sink = static_cast<SvgSink*>(context);
  const qsizetype length = static_cast<qsizetype>(std::strlen(text));
  if (sink->full || sink->text.size() + length > kMaxSvgBytes) {
    sink->full = true;
    return EOF;
  }
  sink->text.append(text, length);
  return 0;
}

int SinkReset(void* context) {
  static_cast<SvgSink*>(context)->text.clear();
  return 0;
}

int SinkStatus(void* context, float) { return static_cast<SvgSink*>(context)->full ? 1 : 0; }

struct WmfApi {
  wmfAPI* api = nullptr;
  ~WmfApi() {
    if (api != nullptr) wmf_api_destroy(api);
  }
};

MetafileSvg WmfToSvg(const QByteArray& bytes, const gdiplus::PictureHeader& header) {
  const ByteView v(Bytes(bytes));
  WmfApi wmf;
  wmfAPI_Options options{};
  options.function = wmf_svg_function;
  if (wmf_api_create(&wmf.api, WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG,
                     &options) != wmf_E_None)
    return Failure("libwmf could not start");
  // libwmf reads but never writes the bytes it is given.
  auto* data = reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.constData()));
  wmfD_Rect box{};
  if (wmf_mem_open(wmf.api, data, static_cast<long>(bytes.size())) != wmf_E_None ||
      wmf_scan(wmf.api, 0, &box) != wmf_E_None)
    return Failure("libwmf could not read the metafile");
  // The scan gives the box of what is drawn; the picture is the whole frame
  // of the placeable header, in points as the scan's box is.
  const double points = 72.0 / v.U16le(14);
  box.TL.x = static_cast<float>(v.I16le(6) * points);
  box.TL.y = static_cast<float>(v.I16le(8) * points);
  box.BR.x = static_cast<float>(v.I16le(10) * points);
  box.BR.y = static_cast<float>(v.I16le(12) * points);
  if (box.TL.x > box.BR.x) std::swap(box.TL.x, box.BR.x);
  if (box.TL.y > box.BR.y) std::swap(box.TL.y, box.BR.y);

  SvgSink sink;
  wmfStream stream{&sink, &SinkPut, &SinkReset};
  wmf_svg_t* device = WMF_SVG_GetData(wmf.api);
  device->out = &stream;
  device->bbox = box;
  device->width = static_cast<unsigned>(header.width);
  device->height = static_cast<unsigned>(header.height);
  char description[] = "";
  device->Description = description;
  wmf_status_function(wmf.api, &sink, &SinkStatus);
  const wmf_error_t played = wmf_play(wmf.api, 0, &box);
  wmf_mem_close(wmf.api);
  if (sink.full) return Failure("the drawing is too large");
  if (played != wmf_E_None) return Failure("libwmf could not draw the metafile");
  return {std::move(sink.text), Natural(header), {}};
}

MetafileSvg EmfToSvg(const QByteArray& bytes, const gdiplus::PictureHeader& header) {
  // libemf2svg refuses a header whose description is more than a few
  // characters long; the description is not drawn, so it is not passed on.
  QByteArray copy = bytes;
  constexpr int kDescriptionCount = 60;
  std::memset(copy.data() + kDescriptionCount, 0, 8);
  char ns[] = "";
  generatorOptions options{};
  options.nameSpace = ns;
  options.svgDelimiter = true;
  options.imgWidth = header.width;
  options.imgHeight = header.height;
  char* out = nullptr;
  std::size_t length = 0;
  const int done = emf2svg(copy.data(), static_cast<std::size_t>(copy.size()), &out, &length, &options);
  std::unique_ptr<char, decltype(&std::free)> owned(out, &std::free);
  if (done == 0 || out == nullptr) return Failure("libemf2svg could not read the metafile");
  if (length > static_cast<std::size_t>(kMaxSvgBytes)) return Failure("the drawing is too large");
  return {QByteArray(out, static_cast<qsizetype>(length)), Natural(header), {}};
}

}  // namespace

MetafileKind SniffMetafile(const QByteArray& head) {
  const auto data = Bytes(head);
  for (const gdiplus::HeaderFormat& format : gdiplus::HeaderFormats()) {
    if (!format.Sniff(data)) continue;
    if (format.name == "WMF") return MetafileKind::Wmf;
    if (format.name == "EMF") return MetafileKind::Emf;
    return MetafileKind::None;
  }
  return MetafileKind::None;
}

MetafileSvg MetafileToSvg(const QByteArray& bytes) {
  const MetafileKind kind = SniffMetafile(bytes);
  if (kind == MetafileKind::None) return Failure("not a metafile");
  if (bytes.size() > kMaxMetafileBytes) return Failure("the metafile is too large");
  gdiplus::PictureHeader header;
  try {
    // A metafile whose header the picture's size cannot be read from is not
    // drawn either, so the picture and its size agree.
    header = gdiplus::ReadPictureHeader(Bytes(bytes));
    const ByteView v(Bytes(bytes));
    kind == MetafileKind::Emf ? CheckEmfRecords(v) : CheckWmfRecords(v);
  } catch (const runtime::Error&) {
    return Failure("the metafile is damaged");
  }
  std::lock_guard guard(LibraryLock());
  return kind == MetafileKind::Emf ? EmfToSvg(bytes, header) : WmfToSvg(bytes, header);
}

QImage RenderSvg(const QByteArray& svg, QSize natural, QSize box) {
  QSvgRenderer renderer(svg);
  if (!renderer.isValid()) return {};
  if (natural.isEmpty()) natural = renderer.defaultSize();
  if (natural.isEmpty()) return {};
  QSize target = box.isValid() && !box.isEmpty() ? natural.scaled(box, Qt::KeepAspectRatio) : natural;
  const double pixels = double(target.width()) * target.height();
  if (pixels > kMaxDrawnPixels) {
    const double shrink = std::sqrt(kMaxDrawnPixels / pixels);
    target = QSize(int(target.width() * shrink), int(target.height() * shrink));
  }
  target = target.expandedTo(QSize(1, 1));
  // A metafile is drawn on paper: what it leaves untouched is white, on a
  // dark slideshow as in a light list.
  QImage image(target, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(target)));
  return image;
}

std::optional<QImage> DecodeMetafile(const QString& path, QSize box) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  if (SniffMetafile(file.peek(64)) == MetafileKind::None) return std::nullopt;
  if (file.size() > kMaxMetafileBytes) return QImage();
  const QByteArray bytes = file.readAll();
  const MetafileSvg svg = MetafileToSvg(bytes);
  if (svg.svg.isEmpty()) return QImage();
  return RenderSvg(svg.svg, svg.natural, box);
}

}  // namespace platform::qt
