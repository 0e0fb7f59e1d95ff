#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The widgets need one application for the whole run, on the offscreen
// platform, with a 2560 x 1440 screen, large enough for every zoom of the
// smaller boards.
int main(int argc, char** argv) {
  QTemporaryDir dir;
  QFile config(dir.filePath("screen.json"));
  if (config.open(QIODevice::WriteOnly)) {
    config.write(R"({"screens": [{"name": "wide", "x": 0, "y": 0, "width": 2560, "height": 1440}]})");
    config.close();
  }
  qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
  qputenv("SDL_AUDIODRIVER", "dummy");
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
