#include "dialogs/custom_board_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include "game/game_flow.h"
#include "game/level.h"
#include "ui/fonts.h"
#include "ui/opening_key_guard.h"
#include "ui/placement.h"
#include "ui/twips.h"

namespace porteka {
namespace {

// Boxes in twips, made into pixels at the zoom of each opening.
struct Box {
  int left, top, width, height;
  QRect InPixels() const { return TwipsRect(left, top, width, height); }
};

struct Row {
  const char* name;
  const char* value;
  Box nameBox, valueBox, barBox;
  QColor colour;
  int minimum, maximum;
  int pageStep;
};

const Row kRows[3] = {
    {"幅", "16", {120, 120, 375, 375}, {840, 120, 375, 255}, {1200, 120, 975, 255}, QColor(255, 128, 128), kMinBoardSide, kMaxBoardSide, 4},
    {"高さ", "16", {120, 480, 615, 375}, {840, 480, 375, 255}, {1200, 480, 975, 255}, QColor(128, 255, 128), kMinBoardSide, kMaxBoardSide, 4},
    {"爆弾", "40", {120, 840, 615, 375}, {600, 840, 615, 255}, {1200, 840, 975, 255}, QColor(128, 128, 255), kMinBombs,
     kMostBombs, 10},
};

QLabel* MakeLabel(QWidget* parent, const char* text, const QRect& box, const QColor& colour, double points,
                  Qt::Alignment alignment) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setGeometry(box);
  label->setFont(DesignFont(kGothic, points, true));
  label->setAlignment(alignment | Qt::AlignTop);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
  label->setAutoFillBackground(false);
  return label;
}

}  // namespace

Form2::Form2(Game& game, QWidget* owner) : QDialog(owner), game_(game) {
  setWindowTitle(QStringLiteral("カスタム"));
  setModal(true);
  setFixedSize(Twips(2310), Twips(1680));
  // Escape closes it as the close box does, writing nothing, but only once
  // the player has seen it: the keys F4 came with do not move the bars either.
  new OpeningKeyGuard(this);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::black);
  setPalette(palette);
  setAutoFillBackground(true);

  for (size_t i = 0; i < 3; ++i) {
    const Row& row = kRows[i];
    names_[i] = MakeLabel(this, row.name, row.nameBox.InPixels(), row.colour, 12.75, Qt::AlignLeft);
    values_[i] = MakeLabel(this, row.value, row.valueBox.InPixels(), row.colour, 14.25, Qt::AlignRight);
    auto* bar = new QScrollBar(Qt::Horizontal, this);
    bar->setGeometry(row.barBox.InPixels());
    bar->setRange(row.minimum, row.maximum);
    bar->setSingleStep(1);
    bar->setPageStep(row.pageStep);
    // Right and the arrow keys raise the value, as the bar is drawn.
    bar->setInvertedControls(false);
    bar->setValue(16);
    bar->setFocusPolicy(Qt::StrongFocus);
    bars_[i] = bar;
  }

  command1_ = new QPushButton(QStringLiteral("れっつらごー"), this);
  command1_->setGeometry(TwipsRect(120, 1320, 2055, 255));
  command1_->setFont(DesignFont(kGothic, 9, true));
  command1_->setAutoDefault(false);

  setTabOrder(bars_[0], bars_[1]);
  setTabOrder(bars_[1], bars_[2]);
  setTabOrder(bars_[2], command1_);

  Form_Load();
  for (int i = 0; i < 3; ++i) {
    connect(bars_[static_cast<size_t>(i)], &QScrollBar::valueChanged, this, [this, i] { HScroll1_Change(i); });
  }
  connect(command1_, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

void Form2::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CentreOverOwner(this, parentWidget());
  bars_[0]->setFocus();
}

// Width, then height, then bombs, each shown in its label; the bombs bar's
// end follows the size as it is set.
void Form2::Form_Load() {
  const int16_t settings[3] = {game_.gro.BoardWidth, game_.gro.BoardHeight, game_.gro.BombCount};
  for (int i = 0; i < 3; ++i) {
    bars_[static_cast<size_t>(i)]->setValue(settings[i]);
    HScroll1_Change(i);
  }
}

void Form2::HScroll1_Change(int index) {
  values_[static_cast<size_t>(index)]->setText(QString::number(bars_[static_cast<size_t>(index)]->value()));
  if (index == 2) return;
  const auto width = static_cast<int16_t>(bars_[0]->value());
  const auto height = static_cast<int16_t>(bars_[1]->value());
  // Lowering the end pulls a larger bombs value down with it; the bar then
  // reports the change and its label follows.
  bars_[2]->setMaximum(MaxCustomBombs(width, height));
  values_[2]->setText(QString::number(bars_[2]->value()));
}

void Form2::Command1_Click() {
  SetCustomBoard(game_, static_cast<int16_t>(bars_[0]->value()), static_cast<int16_t>(bars_[1]->value()),
                 static_cast<int16_t>(bars_[2]->value()));
  accept();
}

}  // namespace porteka
