#include "sound/load_sounds.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <utility>

#include "sound/sound_cue.h"
#include "sound/stools.h"

namespace porteka {

void LoadSounds(int32_t slot, int16_t resourceId, const char* resourceType, int32_t count) {
  try {
    if (resourceType == nullptr) return;
    QFile resource(QStringLiteral(":/%1/%2").arg(QString::fromLatin1(resourceType)).arg(resourceId));
    if (!resource.open(QIODevice::ReadOnly)) return;
    const QByteArray bytes = resource.readAll();
    // We know the resource's real size, so the header is checked against it.
    STReadBytesChecked(slot, reinterpret_cast<const uint8_t*>(bytes.constData()),
                       static_cast<std::size_t>(bytes.size()), count);
  } catch (...) {
    // A sound that cannot be loaded just stays silent.
  }
}

void LoadGameSounds() {
  constexpr int32_t kPlaysAtOnce = 8;
  const std::pair<SoundCue, int16_t> sounds[] = {
      {SoundCue::Open, 101}, {SoundCue::Explosion, 102}, {SoundCue::Mark, 103}};
  for (const auto& [cue, resource] : sounds) LoadSounds(static_cast<int32_t>(cue), resource, "WAVE", kPlaysAtOnce);
}

}  // namespace porteka
