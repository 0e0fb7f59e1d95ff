#include <QApplication>
#include <gtest/gtest.h>

// The widgets need one application for the whole run, on the offscreen
// platform, with a screen large enough for every zoom of the smaller boards.
int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" PORTEKA_WIDGET_SCREEN);
  qputenv("SDL_AUDIODRIVER", "dummy");
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
