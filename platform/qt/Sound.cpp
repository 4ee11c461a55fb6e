#include "platform/System.h"

#include <QFile>

#include <array>
#include <cstring>
#include <optional>

#include "platform/Exceptions.h"
#include "platform/Files.h"
#include "platform/Plugins.h"
#include "platform/Seams.h"
#include "platform/plugins/SoundFunctions.h"
#include "platform/qt/RuntimeInternal.h"

namespace fw {

namespace {

uint32_t Le32(const char* p)
{
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

uint16_t Le16(const char* p)
{
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return uint16_t(b[0] | b[1] << 8);
}

// Whether the file is a RIFF/WAVE file whose format Qt's sound effect can
// play: PCM or float samples, a sane channel count and rate, and a data
// chunk. Only the chunk headers are read, whatever the file's size.
bool IsPlayableWave(QFile& file)
{
    char header[12];
    if (file.read(header, 12) != 12)
        return false;
    if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0)
        return false;
    bool haveFormat = false;
    // A real file has a handful of chunks; a bound keeps a crafted one from
    // making us walk forever.
    for (int chunks = 0; chunks < 64; ++chunks) {
        char chunk[8];
        if (file.read(chunk, 8) != 8)
            return false;
        const uint32_t size = Le32(chunk + 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16)
                return false;
            char format[16];
            if (file.read(format, 16) != 16)
                return false;
            const uint16_t tag = Le16(format);
            const uint16_t channels = Le16(format + 2);
            const uint32_t rate = Le32(format + 4);
            const uint16_t bits = Le16(format + 14);
            const bool knownTag = tag == 1 || tag == 3 || tag == 0xFFFE;
            const bool knownBits = bits == 8 || bits == 16 || bits == 24 || bits == 32;
            if (!knownTag || !knownBits || channels < 1 || channels > 8 || rate < 1000 || rate > 384000)
                return false;
            haveFormat = true;
            if (!file.seek(file.pos() + (qint64(size) - 16) + (size & 1)))
                return false;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            // The data chunk must follow the format and hold something.
            return haveFormat && size > 0 && file.bytesAvailable() > 0;
        } else {
            // Chunks are padded to an even length.
            if (!file.seek(file.pos() + qint64(size) + (size & 1)))
                return false;
        }
    }
    return false;
}

} // namespace

namespace {

// The sound player lives in a plug-in library loaded on the first play, so
// Qt Multimedia is not loaded at start-up. A player library that is missing
// or does not match the game is a broken installation: the play that needs
// it raises PluginLoadException, which ends the game with a message naming
// the library, as a missing picture library does at start-up. The game goes
// silent only where a sound's own file is missing or no sound.
struct PlayerState {
    std::string library = SoundFunctions::kLibrary;
    std::optional<SoundFunctions> functions;
};

PlayerState& State()
{
    static PlayerState state;
    return state;
}

const SoundFunctions& Player()
{
    auto& state = State();
    if (!state.functions)
        state.functions = LoadPluginTable<SoundFunctions>(state.library);
    return *state.functions;
}

} // namespace

// The sound's file and, once it has been played without a recorder, the
// player's effect that plays it. Each Sound has its own effect, so two sounds
// overlap.
class SoundImpl {
public:
    explicit SoundImpl(std::string path)
        : m_path(std::move(path))
    {
    }
    ~SoundImpl()
    {
        if (m_effect)
            m_player.Destroy(m_effect);
    }
    SoundImpl(const SoundImpl&) = delete;
    SoundImpl& operator=(const SoundImpl&) = delete;

    const std::string& Path() const { return m_path; }

    void Play()
    {
        if (!m_effect) {
            m_player = Player();
            m_effect = m_player.Create(m_path.c_str());
        }
        m_player.Play(m_effect);
    }

private:
    std::string m_path;
    // The player that made the effect plays it and destroys it.
    SoundFunctions m_player;
    void* m_effect = nullptr;
};

void UseSoundLibraryForTests(const std::string& name)
{
    State() = PlayerState { name, std::nullopt };
}

Sound::Sound(std::unique_ptr<SoundImpl> impl)
    : m_impl(std::move(impl))
{
}

Sound::~Sound() = default;

void Sound::Play()
{
    if (!m_impl)
        return;
    if (auto recorder = Seams::GetSoundRecorder()) {
        recorder(m_impl->Path());
        return;
    }
    m_impl->Play();
}

const std::string& Sound::Path() const
{
    static const std::string none;
    return m_impl ? m_impl->Path() : none;
}

std::shared_ptr<Sound> FolderItem::OpenAsSound() const
{
    QFile file(QString::fromStdString(NativePath()));
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    if (!IsPlayableWave(file))
        return nullptr;
    return std::make_shared<Sound>(std::make_unique<SoundImpl>(NativePath()));
}

} // namespace fw
