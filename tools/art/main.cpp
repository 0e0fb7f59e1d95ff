// make_art <output dir>: draws every picture of the game into <output dir>.
// The output is committed under assets/; running the tool again must give the
// same bytes, so nothing here may depend on the clock or the machine's screen.

#include "tools/art/cell_sheet.h"
#include "tools/art/explosion_strip.h"
#include "tools/art/face_sheet.h"
#include "tools/art/image_files.h"
#include "tools/art/open_flash.h"
#include "tools/art/palette_quantizer.h"
#include "tools/art/title_card.h"
#include "tools/art/window_icon.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

namespace {

bool Report(bool ok, const QString& path) {
  std::fprintf(ok ? stdout : stderr, "%s %s\n", ok ? "wrote" : "FAILED to write", qPrintable(path));
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace porteka::art;
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_art <output dir>\n");
    return 2;
  }
  const QString outputDir = QString::fromLocal8Bit(argv[1]);
  // Fonts come from fontconfig; no screen is needed or wanted.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  QGuiApplication app(qtArgc, argv);

  QDir dir(outputDir);
  if (!dir.mkpath(".")) {
    std::fprintf(stderr, "cannot create %s\n", argv[1]);
    return 1;
  }
  auto path = [&dir](const char* name) { return dir.filePath(QString::fromLatin1(name)); };

  const QImage cells = PaintCellSheet();
  // The digit inks must survive exactly, so the sheet may not need a reduced palette.
  if (CountColours(cells) > 256) {
    std::fprintf(stderr, "the cell sheet has %d colours, more than 256\n", CountColours(cells));
    return 1;
  }
  const QImage faces = PaintFaceSheet();

  bool ok = true;
  ok &= Report(SavePng(ToIndexed(cells, 256), path("cells.png")), path("cells.png"));
  ok &= Report(SavePng(PaintOpenFlash(), path("open_flash.png")), path("open_flash.png"));
  ok &= Report(SavePng(PaintExplosion(), path("explosion.png")), path("explosion.png"));
  ok &= Report(SavePng(MapToPalette(faces, FacePalette()), path("faces.png")), path("faces.png"));
  ok &= Report(SavePng(faces.copy(0, 0, kFaceSize, kFaceSize).convertToFormat(QImage::Format_RGB32),
                       path("face_button.png")),
               path("face_button.png"));
  ok &= Report(SaveBmp8(ToIndexed(PaintTitleCard(), 256), path("title.bmp")), path("title.bmp"));
  ok &= Report(SavePng(ToIndexed(PaintWindowIcon(), 256), path("icon.png")), path("icon.png"));
  // The desktop's icons beside the window icon, which stands for the 32 x 32 size.
  for (int size : kDesktopIconSizes) {
    if (size == kIconSize) continue;
    const QString name = QStringLiteral("icon_%1.png").arg(size);
    ok &= Report(SavePng(ToIndexed(PaintDesktopIcon(size), 256), dir.filePath(name)), dir.filePath(name));
  }
  return ok ? 0 : 1;
}
