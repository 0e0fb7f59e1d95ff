#include "records/records_dialog.h"

#include <QColor>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <cmath>
#include <utility>

#include "records/record_time.h"
#include "records/records_file.h"
#include "runs/run_check.h"
#include "ui/fonts.h"
#include "ui/opening_key_guard.h"
#include "ui/twips.h"

namespace porteka {
namespace {

constexpr std::array<const char*, 6> kCaptions = {
    "華々しい記録達",           "輝かしい記録達",   "目を見張るほど美しい記録達",
    "とてもすんばらしい記録達", "凄さ余ってにくさ百倍の記録達", "かっこいいぜ！記録達",
};

constexpr const char* kPlaceholderTime = "999[sec]";
constexpr const char* kPlaceholderName = "未登録";

struct LabelDesign {
  const char* text;
  int left;
  int top;
  int width;
  Qt::Alignment alignment;
  QColor colour;
};

constexpr int kLabelHeight = 255;

const QColor kHeaderColour(255, 255, 255);
const std::array<QColor, 3> kRowColours = {QColor(255, 0, 0), QColor(0, 255, 0),
                                           QColor(128, 128, 255)};

QLabel* MakeLabel(QWidget* parent, const QString& objectName, const LabelDesign& design) {
  auto* label = new QLabel(QString::fromUtf8(design.text), parent);
  label->setObjectName(objectName);
  label->setTextFormat(Qt::PlainText);
  label->setAutoFillBackground(false);
  label->setGeometry(TwipsRect(design.left, design.top, design.width, kLabelHeight));
  label->setFont(DesignFont(kGothic, 12, true));
  label->setAlignment(design.alignment | Qt::AlignVCenter);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, design.colour);
  label->setPalette(palette);
  return label;
}

}  // namespace

Form5::Form5(std::filesystem::path recordsFile, RandomSource& random, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      recordsFile_(std::move(recordsFile)) {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(QString::fromUtf8(kCaptions[0]));
  setModal(true);
  // Grown by a row for the buttons that play the runs.
  setFixedSize(TwipsRect(0, 0, 5040, 2415).size());
  setFont(DesignFont(kGothic, 9));
  // Escape or Enter closes the list, but only once the player has seen it.
  new OpeningKeyGuard(this);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::black);
  setPalette(palette);
  setAutoFillBackground(true);

  const Qt::Alignment left = Qt::AlignLeft;
  const Qt::Alignment right = Qt::AlignRight;
  const std::array<const char*, 3> levelNames = {"初級", "中級", "上級"};
  for (int row = 0; row < 3; ++row) {
    const int top = 480 + 360 * row;
    const QColor colour = kRowColours[static_cast<size_t>(row)];
    const auto i = static_cast<size_t>(row);
    const QString index = QString::number(row);
    label1_[i] = MakeLabel(this, "Label1_" + index, {levelNames[i], 240, top, 615, left, colour});
    label2_[i] = MakeLabel(this, "Label2_" + index, {kPlaceholderTime, 840, top, 1575, right, colour});
    // 3855 twips reach past the client edge: the window cuts long names there.
    label3_[i] = MakeLabel(this, "Label3_" + index, {kPlaceholderName, 2640, top, 3855, left, colour});
  }
  label1_[3] = MakeLabel(this, "Label1_3", {"クラス", 120, 120, 855, left, kHeaderColour});
  label2_[3] = MakeLabel(this, "Label2_3", {"タイム", 1320, 120, 855, right, kHeaderColour});
  label3_[3] = MakeLabel(this, "Label3_3", {"名前", 3360, 120, 615, left, kHeaderColour});

  command1_ = new QPushButton(QStringLiteral("わっかりやした～"), this);
  command1_->setObjectName(QStringLiteral("Command1"));
  command1_->setGeometry(TwipsRect(120, 1680, 4815, 255));
  command1_->setDefault(true);
  command1_->setFocus();
  connect(command1_, &QPushButton::clicked, this, &Form5::Command1_Click);

  const std::array<const char*, 3> watchTexts = {"初級を再生(&1)", "中級を再生(&2)", "上級を再生(&3)"};
  for (size_t i = 0; i < 3; ++i) {
    auto* button = new QPushButton(QString::fromUtf8(watchTexts[i]), this);
    button->setObjectName("Command2_" + QString::number(i));
    button->setGeometry(TwipsRect(120 + 1650 * static_cast<int>(i), 2040, 1515, 255));
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    button->setEnabled(false);
    connect(button, &QPushButton::clicked, this, [this, i] {
      chosen_ = i;
      accept();
    });
    command2_[i] = button;
  }

  Form_Load(random);
}

void Form5::Form_Load(RandomSource& random) {
  // One draw from the generator that places the bombs, so opening this dialog
  // moves the boards that follow along.
  const double k = std::floor(static_cast<double>(random.Next()) * 6.0);
  const size_t caption = (k >= 0.0 && k < 6.0) ? static_cast<size_t>(k) : 0;
  setWindowTitle(QString::fromUtf8(kCaptions[caption]));

  // Three rows from the file or three placeholder rows, never a mixture: the
  // file is read whole before any row is filled.
  const std::optional<RecordTable> records = ReadRecords(recordsFile_);
  for (size_t i = 0; i < 3; ++i) {
    if (records) {
      label2_[i]->setText(QString::fromStdString(FormatRecordTime((*records)[i].time)));
      label3_[i]->setText(QString::fromStdString((*records)[i].name));
      runs_[i] = RecordRunOf(recordsFile_, static_cast<Level>(i), (*records)[i].time);
      command2_[i]->setEnabled(runs_[i].has_value());
    } else {
      label2_[i]->setText(QString::fromUtf8(kPlaceholderTime));
      label3_[i]->setText(QString::fromUtf8(kPlaceholderName));
    }
  }
}

void Form5::Command1_Click() { accept(); }

std::optional<std::string> Form5::ChosenRun() {
  if (!chosen_) return std::nullopt;
  return std::exchange(runs_[*chosen_], std::nullopt);
}

}  // namespace porteka
