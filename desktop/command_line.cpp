#include "desktop/command_line.h"

#include <QCommandLineParser>
#include <QStringList>
#include <cstdio>

namespace porteka {
namespace {

// The game's own options: a row each.
struct GameOption {
  const char* name;
  const char* valueName;  // nullptr for a switch
  const char* description;
  void (*take)(CommandLine& line, const QString& value);
};

const GameOption kGameOptions[] = {
    {"desktop", nullptr,
     "Keep the records in $XDG_DATA_HOME/porteka (by default ~/.local/share/porteka), as a start from the "
     "desktop's menu does.",
     [](CommandLine& line, const QString&) { line.desktop = true; }},
    {"watch", "FILE",
     "Open the game playing FILE, a record's run or any scenario of the replay tool that deals a board; a "
     "key, a click or a menu choice stops it.",
     [](CommandLine& line, const QString& value) { line.watchFile = value.toLocal8Bit().toStdString(); }},
};

// Qt's own options, with or without a value, as QGuiApplication, QApplication
// and the X plugin read them ("-geometry", "-title" and "-icon" on X only).
struct QtOption {
  const char* name;
  bool takesValue;
};

constexpr QtOption kQtOptions[] = {
    {"platform", true},      {"display", true},      {"platformpluginpath", true}, {"platformtheme", true},
    {"plugin", true},        {"qwindowgeometry", true}, {"qwindowicon", true},     {"qwindowtitle", true},
    {"geometry", true},      {"title", true},        {"icon", true},               {"name", true},
    {"visual", true},        {"session", true},      {"style", true},              {"stylesheet", true},
    {"qmljsdebugger", true}, {"reverse", false},     {"widgetcount", false},       {"nograb", false},
    {"dograb", false},       {"testability", false},
};

const char* const kQtOptionsHelp =
    "\nQt's own options work as well, among them -platform NAME (read as\n"
    "QT_QPA_PLATFORM), -display DISPLAY (read as DISPLAY), -style STYLE and\n"
    "-qwindowgeometry WxH+X+Y; see porteka(6).\n";

void Print(FILE* stream, const QString& text) { std::fputs(text.toLocal8Bit().constData(), stream); }

}  // namespace

std::optional<int> ReadCommandLine(int argc, char** argv, CommandLine& line) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);

  QCommandLineParser parser;
  // Qt's options are words after one dash: -platform, not -p -l -a ...
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription(QStringLiteral("Porteka (ポルテカ), a bomb-sweeping puzzle."));
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
  const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                   QStringLiteral("Show the version."));
  parser.addOptions({help, version});
  for (const GameOption& option : kGameOptions) {
    parser.addOption(QCommandLineOption(QString::fromUtf8(option.name), QString::fromUtf8(option.description),
                                        QString::fromUtf8(option.valueName)));
  }
  for (const QtOption& option : kQtOptions) {
    QCommandLineOption qtOption(QString::fromUtf8(option.name), QString(),
                                option.takesValue ? QStringLiteral("value") : QString());
    qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(qtOption);
  }

  const QString program = arguments.value(0, QStringLiteral("porteka")).section('/', -1);
  const QString usage = parser.helpText().replace(QStringLiteral("<executable_name>"), program) + kQtOptionsHelp;
  QString problem;
  if (!parser.parse(arguments)) {
    problem = parser.errorText();
  } else if (!parser.positionalArguments().isEmpty()) {
    problem = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first());
  }
  if (!problem.isEmpty()) {
    Print(stderr, program + QStringLiteral(": ") + problem + '\n' + usage);
    return 2;
  }
  if (parser.isSet(help)) {
    Print(stdout, usage);
    return 0;
  }
  if (parser.isSet(version)) {
    Print(stdout, program + QStringLiteral(" " PORTEKA_VERSION "\n"));
    return 0;
  }

  for (const GameOption& option : kGameOptions) {
    const QString name = QString::fromUtf8(option.name);
    if (!parser.isSet(name)) continue;
    option.take(line, option.valueName != nullptr ? parser.value(name) : QString());
  }
  if (parser.isSet(QStringLiteral("platform"))) {
    qputenv("QT_QPA_PLATFORM", parser.value(QStringLiteral("platform")).toLocal8Bit());
    line.platformOption = true;
  }
  if (parser.isSet(QStringLiteral("display"))) {
    qputenv("DISPLAY", parser.value(QStringLiteral("display")).toLocal8Bit());
  }
  line.qtArguments = {argc > 0 ? argv[0] : "porteka"};
  for (const QtOption& option : kQtOptions) {
    const QString name = QString::fromUtf8(option.name);
    if (name == QStringLiteral("platform") || name == QStringLiteral("display")) continue;
    if (!option.takesValue) {
      if (parser.isSet(name)) line.qtArguments.push_back(std::string("-") + option.name);
      continue;
    }
    for (const QString& value : parser.values(name)) {
      line.qtArguments.push_back(std::string("-") + option.name);
      line.qtArguments.push_back(value.toLocal8Bit().toStdString());
    }
  }
  return std::nullopt;
}

}  // namespace porteka
