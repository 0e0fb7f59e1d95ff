#include "records/statistics_dialog.h"

#include <QLabel>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#include "records/record_time.h"
#include "records/statistics_file.h"
#include "ui/fonts.h"
#include "ui/game_dialog.h"
#include "ui/twips.h"

namespace porteka {
namespace {

constexpr std::array<const char*, kStatisticsLevels> kLevelNames = {"初級", "中級", "上級", "カスタム"};
// The records list's colours for the fixed levels; custom boards in yellow.
const std::array<QColor, kStatisticsLevels> kLevelColours = {QColor(255, 0, 0), QColor(0, 255, 0),
                                                             QColor(128, 128, 255), QColor(255, 255, 0)};
const QColor kCaptionColour(255, 255, 255);

constexpr const char* kNone = "-";

struct Row {
  const char* name;
  const char* caption;
  QString (*text)(const LevelStatistics&);
};

QString Count(int64_t count) { return QString::number(count); }
QString Time(std::optional<int64_t> frames) {
  if (!frames) return QString(kNone);
  return QString::fromStdString(FormatRecordTime(static_cast<int32_t>(std::min<int64_t>(*frames, INT32_MAX))));
}
QString Rate(std::optional<double> rate) { return rate ? QString::number(*rate, 'f', 2) : QString(kNone); }

const std::array<Row, 11> kRows = {{
    {"played", "遊んだ回数", [](const LevelStatistics& l) { return Count(l.played); }},
    {"won", "勝ち", [](const LevelStatistics& l) { return Count(l.won); }},
    {"lost", "負け", [](const LevelStatistics& l) { return Count(l.lost); }},
    {"abandoned", "途中でやめた", [](const LevelStatistics& l) { return Count(l.abandoned); }},
    {"win_rate", "勝率",
     [](const LevelStatistics& l) {
       return l.played > 0 ? QString::number(100.0 * static_cast<double>(l.won) / static_cast<double>(l.played), 'f', 1) + "%"
                           : QString(kNone);
     }},
    {"streak", "いまの連勝", [](const LevelStatistics& l) { return Count(l.streak); }},
    {"best_streak", "最多連勝", [](const LevelStatistics& l) { return Count(l.bestStreak); }},
    {"best_frames", "最速タイム",
     [](const LevelStatistics& l) { return Time(l.bestFrames ? std::optional<int64_t>(*l.bestFrames) : std::nullopt); }},
    {"mean_frames", "平均タイム",
     [](const LevelStatistics& l) { return Time(l.won > 0 ? std::optional<int64_t>(l.wonFrames / l.won) : std::nullopt); }},
    {"played_frames", "遊んだ時間",
     [](const LevelStatistics& l) { return Time(l.played > 0 ? std::optional(l.playedFrames) : std::nullopt); }},
    {"best_3bv_per_second", "最高3BV/s", [](const LevelStatistics& l) { return Rate(l.best3BVPerSecond); }},
}};

constexpr int kCaptionLeft = 120;
constexpr int kCaptionWidth = 1800;
constexpr int kColumnLeft = 1920;
constexpr int kColumnWidth = 1350;
constexpr int kHeaderTop = 120;
constexpr int kFirstRowTop = 450;
constexpr int kRowStep = 270;
constexpr int kRowHeight = 255;
constexpr int kWidth = kColumnLeft + kStatisticsLevels * kColumnWidth + 120;
constexpr int kLastTop = kFirstRowTop + static_cast<int>(kRows.size()) * kRowStep + 150;
constexpr int kButtonTop = kLastTop + 2 * kRowStep + 120;
constexpr int kHeight = kButtonTop + kRowHeight + 150;

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, QRect place, Qt::Alignment alignment,
                  const QColor& colour, bool bold) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  label->setGeometry(place);
  label->setFont(DesignFont(kGothic, 9, bold));
  label->setAlignment(alignment | Qt::AlignVCenter);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
  return label;
}

QString LastGameText(const std::optional<GameResult>& game) {
  if (!game) return QStringLiteral("前回のゲーム: まだありません");
  constexpr std::array<const char*, 3> kOutcomes = {"勝ち", "負け", "途中でやめた"};
  const std::optional<double> rate =
      game->outcome == GameOutcome::Won ? ThreeBVPerSecond(game->threeBV, game->frames) : std::nullopt;
  return QStringLiteral("前回のゲーム: %1 %2 %3\n3BV %4  3BV/s %5")
      .arg(QString::fromUtf8(kLevelNames[StatisticsIndex(game->level)]),
           QString::fromUtf8(kOutcomes[static_cast<size_t>(game->outcome)]), Time(game->frames),
           QString::number(game->threeBV), Rate(rate));
}

}  // namespace

StatisticsDialog::StatisticsDialog(std::filesystem::path file, std::function<void()> clear, QWidget* owner)
    : QDialog(owner, kGameDialogFrame), file_(std::move(file)), clearStatistics_(std::move(clear)) {
  // Escape closes it, but only once the player has seen it.
  SetUpGameDialog(*this, QStringLiteral("StatisticsDialog"), QStringLiteral("これまでの戦績"), kWidth, kHeight,
                  /*blackGround=*/true);

  for (int level = 0; level < kStatisticsLevels; ++level) {
    const auto i = static_cast<size_t>(level);
    MakeLabel(this, "level_" + QString::number(level), QString::fromUtf8(kLevelNames[i]),
              TwipsRect(kColumnLeft + level * kColumnWidth, kHeaderTop, kColumnWidth, kRowHeight), Qt::AlignRight,
              kLevelColours[i], true);
  }
  for (size_t row = 0; row < kRows.size(); ++row) {
    const int top = kFirstRowTop + static_cast<int>(row) * kRowStep;
    MakeLabel(this, QString::fromUtf8(kRows[row].name), QString::fromUtf8(kRows[row].caption),
              TwipsRect(kCaptionLeft, top, kCaptionWidth, kRowHeight), Qt::AlignLeft, kCaptionColour, true);
    for (int level = 0; level < kStatisticsLevels; ++level) {
      MakeLabel(this, QString::fromUtf8(kRows[row].name) + "_" + QString::number(level), QString(),
                TwipsRect(kColumnLeft + level * kColumnWidth, top, kColumnWidth, kRowHeight), Qt::AlignRight,
                kLevelColours[static_cast<size_t>(level)], false);
    }
  }
  lastGame_ = MakeLabel(this, QStringLiteral("last"), QString(),
                        TwipsRect(kCaptionLeft, kLastTop, kWidth - 2 * kCaptionLeft, 2 * kRowStep), Qt::AlignLeft,
                        kCaptionColour, false);

  const int buttonWidth = (kWidth - 3 * kCaptionLeft) / 2;
  clear_ = new QPushButton(QStringLiteral("きれいさっぱり消す"), this);
  clear_->setObjectName(QStringLiteral("Clear"));
  clear_->setGeometry(TwipsRect(kCaptionLeft, kButtonTop, buttonWidth, kRowHeight));
  connect(clear_, &QPushButton::clicked, this, &StatisticsDialog::Clear_Click);
  close_ = new QPushButton(QStringLiteral("ふむふむ"), this);
  close_->setObjectName(QStringLiteral("Close"));
  close_->setGeometry(TwipsRect(2 * kCaptionLeft + buttonWidth, kButtonTop, buttonWidth, kRowHeight));
  close_->setDefault(true);
  close_->setFocus();
  connect(close_, &QPushButton::clicked, this, &QDialog::accept);

  Fill();
}

QLabel* StatisticsDialog::Figure(const char* row, int level) const {
  return findChild<QLabel*>(QString::fromUtf8(row) + "_" + QString::number(level));
}

void StatisticsDialog::Fill() {
  const Statistics statistics = ReadStatistics(file_);
  for (const Row& row : kRows) {
    for (int level = 0; level < kStatisticsLevels; ++level) {
      Figure(row.name, level)->setText(row.text(statistics.levels[static_cast<size_t>(level)]));
    }
  }
  lastGame_->setText(LastGameText(statistics.last));
}

// Only the statistics go: the records stay as they are.
void StatisticsDialog::Clear_Click() {
  QMessageBox question(QMessageBox::Question, QStringLiteral("戦績を消す"),
                       QStringLiteral("これまでの戦績をきれいさっぱり消して、\n一から数え直しますか？\n"
                                      "記録達はそのまま残ります。"),
                       QMessageBox::NoButton, this);
  question.setObjectName(QStringLiteral("ClearQuestion"));
  QPushButton* yes = question.addButton(QStringLiteral("消す"), QMessageBox::AcceptRole);
  QPushButton* no = question.addButton(QStringLiteral("やめとく"), QMessageBox::RejectRole);
  question.setDefaultButton(no);
  question.setEscapeButton(no);
  question.exec();
  if (question.clickedButton() != yes) return;
  if (clearStatistics_) clearStatistics_();
  Fill();
}

}  // namespace porteka
