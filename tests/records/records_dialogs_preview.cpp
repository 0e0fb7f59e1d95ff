// Shows both record dialogs at once with sample records, for a look or a
// screenshot under a real X server. Quits after the seconds given (default
// 30); a second argument "none" leaves the records file out, for the
// placeholder rows.
#include <stdlib.h>

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "game/random.h"
#include "records/new_record_dialog.h"
#include "records/records_dialog.h"
#include "records/records_file.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::string directory = (std::filesystem::temp_directory_path() / "porteka-preview-XXXXXX").string();
  if (::mkdtemp(directory.data()) == nullptr) return 1;
  const std::filesystem::path file = std::filesystem::path(directory) / porteka::kRecordsFileName;
  if (!(argc > 2 && std::string(argv[2]) == "none")) {
    porteka::WriteRecords(file, {porteka::Record{"名無士乃権兵衛", 370}, porteka::Record{"髙橋①～, \"ソ表\"", 2400},
                                 porteka::Record{"とても長い名前はこの列の右端で切れてしまうのです", 29970}});
  }
  porteka::PortableRandom random(3);
  porteka::Form5 records(file, random, nullptr);
  records.move(40, 40);
  records.show();
  porteka::Form4 newRecord(file, porteka::Level::Intermediate, 370, nullptr);
  newRecord.move(40, 260);
  newRecord.show();
  QTimer::singleShot((argc > 1 ? std::max(1, std::atoi(argv[1])) : 30) * 1000, &app, &QApplication::quit);
  const int result = app.exec();
  std::filesystem::remove_all(directory);
  return result;
}
