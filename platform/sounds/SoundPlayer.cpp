// Plays sound files through Qt Multimedia. It is a library of its own, loaded
// the first time a sound plays, so starting the game does not pay for
// loading Qt Multimedia and the audio stack behind it.
#include <QCoreApplication>
#include <QSoundEffect>
#include <QString>
#include <QUrl>

#include "platform/plugins/SoundFunctions.h"

namespace {

// Each sound has its own effect, so two sounds may overlap.
void* Create(const char* path)
{
    auto* effect = new QSoundEffect;
    effect->setSource(QUrl::fromLocalFile(QString::fromUtf8(path)));
    return effect;
}

// Starts the sound, or queues it until loading finishes; a sound that cannot
// load or has no device stays silent.
void Play(void* effect)
{
    auto* sound = static_cast<QSoundEffect*>(effect);
    if (sound->status() != QSoundEffect::Error)
        sound->play();
}

// Qt loads a sound on a thread of its own, and an effect deleted while it
// loads leaves the loader's objects behind; such an effect is deleted once
// its loading ends (or with the application).
void Destroy(void* effect)
{
    auto* sound = static_cast<QSoundEffect*>(effect);
    sound->stop();
    if (sound->status() == QSoundEffect::Loading && QCoreApplication::instance()) {
        sound->setParent(QCoreApplication::instance());
        QObject::connect(sound, &QSoundEffect::statusChanged, sound, [sound] {
            if (sound->status() != QSoundEffect::Loading)
                sound->deleteLater();
        });
        return;
    }
    delete sound;
}

} // namespace

TAVRINE_PLUGIN_TABLE(SoundFunctions { .Create = &Create, .Play = &Play, .Destroy = &Destroy })
