// Wave playback and media clips on Qt Multimedia. Waves play synchronously: the caller is
// held in a local event loop (user input stays queued) until the sound ends or a time-out
// derived from its length runs out, so a machine without working audio never hangs.
#include <QAudioDevice>
#include <QAudioOutput>
#include <QEventLoop>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#include <QVideoWidget>
#include <QWidget>
#include <map>
#include <memory>

#include "platform/files.h"
#include "platform/qt_private.h"
#include "platform/sound.h"
#include "platform/test_double.h"

namespace {

struct OpenWave {
    std::string path;  // the resolved path
    WaveInfo info;
};

struct Clip {
    std::string path;
    QMediaPlayer* player = nullptr;
    QAudioOutput* audio = nullptr;
    QVideoWidget* video = nullptr;
    int notify = 0;
};

}  // namespace

static struct {
    int nextWave = 1;
    std::map<int, OpenWave> waves;
    int nextClip = 1;
    std::map<int, Clip> clips;
    std::vector<std::string> played;
    std::vector<std::string> clipEvents;
    int noAudioDevice = 0;
    int testAudioOutput = 0;
} sound;

constexpr int kLoadTimeoutMs = 3000;
// A busy machine's sound server may take well over the sound's length to drain it; giving
// up too early would switch sounds off for the whole run.
constexpr int kEndMarginMs = 3000;
constexpr int kClipOpenTimeoutMs = 5000;

const std::vector<std::string>& TestPlayedSounds() { return sound.played; }
void TestClearSounds() {
    sound.played.clear();
    sound.clipEvents.clear();
}
void TestSetNoAudioDevice(int missing) { sound.noAudioDevice = missing; }
void TestSetAudioOutput(int present) { sound.testAudioOutput = present; }

// Runs the event loop until done() holds or the time is up; 1 when done() held.
template <typename Done>
static int WaitFor(int timeoutMs, Done done) {
    if (done()) return 1;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QTimer poll;  // the condition is looked at every 20 ms
    QObject::connect(&poll, &QTimer::timeout, &loop, [&]() {
        if (done()) loop.quit();
    });
    timer.start(timeoutMs);
    poll.start(20);
    FlushWindowDirty();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return done() ? 1 : 0;
}

// The back ends want absolute file addresses; names on the volume are relative to the
// working directory.
static QUrl LocalFileUrl(const std::string& path) {
    return QUrl::fromLocalFile(QFileInfo(QString::fromLocal8Bit(path.c_str())).absoluteFilePath());
}

// [SECTION] Wave files

int WaveOpen(const char* path) {
    std::vector<uint8_t> bytes;
    // The header and a little of the samples are enough; sounds are short, but a hostile
    // file may be large.
    FILE* f = OpenFile(path, "rb");
    if (!f) return 0;
    bytes.resize(64 * 1024);
    size_t got = fread(bytes.data(), 1, bytes.size(), f);
    int64_t length = OpenFileLength(f);
    fclose(f);
    bytes.resize(got);
    OpenWave w;
    if (!ParseWaveHeader(bytes.data(), bytes.size(), &w.info)) {
        // A data chunk beyond the first 64 KiB: read the whole file once to be sure.
        if (length <= (int64_t)got || length > 64ll * 1024 * 1024) return 0;
        if (!ReadWholeFile(path, &bytes, (size_t)length)) return 0;
        if (!ParseWaveHeader(bytes.data(), bytes.size(), &w.info)) return 0;
    }
    if (length > 0) {
        uint64_t held = (uint64_t)length > w.info.dataOffset ? (uint64_t)length - w.info.dataOffset : 0;
        if (w.info.dataBytes > held) w.info.dataBytes = (uint32_t)held;
        w.info.durationMs = (int)((uint64_t)w.info.dataBytes * 1000 / w.info.byteRate);
    }
    w.path = ResolvePath(path);
    int handle = sound.nextWave++;
    sound.waves[handle] = w;
    return handle;
}

void WaveClose(int handle) { sound.waves.erase(handle); }

int AudioOutputAvailable() {
    if (TestModeEnabled()) return sound.testAudioOutput;
    return QMediaDevices::audioOutputs().isEmpty() ? 0 : 1;
}

static int PlayOnDevice(const OpenWave& w) {
    QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (QMediaDevices::audioOutputs().isEmpty() || device.isNull()) return 0;
    QSoundEffect effect(device);
    effect.setSource(LocalFileUrl(w.path));
    int loaded = WaitFor(kLoadTimeoutMs, [&]() {
        return effect.status() == QSoundEffect::Ready || effect.status() == QSoundEffect::Error;
    });
    if (!loaded || effect.status() != QSoundEffect::Ready) return 0;
    // playing turns on once the sink starts and off when the sound ends; the signal catches
    // sounds too short for the poll to see.
    int started = 0, finished = 0;
    QObject::connect(&effect, &QSoundEffect::playingChanged, &effect, [&]() {
        if (effect.isPlaying()) started = 1;
        else if (started) finished = 1;
    });
    effect.play();
    if (effect.isPlaying()) started = 1;
    int ended = WaitFor(2 * w.info.durationMs + kEndMarginMs, [&]() { return finished; });
    if (!ended) effect.stop();
    return ended;
}

int WavePlay(int handle) {
    auto it = sound.waves.find(handle);
    if (it == sound.waves.end()) return 0;
    if (sound.noAudioDevice) return 0;
    if (TestModeEnabled()) {
        sound.played.push_back(it->second.path);
        return 1;
    }
    return PlayOnDevice(it->second);
}

// [SECTION] Media clips

static Clip* FindClip(int device) {
    auto it = sound.clips.find(device);
    return it == sound.clips.end() ? nullptr : &it->second;
}

static void ReleaseClip(Clip& c) {
    if (c.player) {
        c.player->stop();
        delete c.player;
    }
    delete c.audio;
    delete c.video;
    c = Clip();
}

static int OpenClipOnBackEnd(Clip& c, const Rect* rect, long startMs) {
    c.player = new QMediaPlayer();
    if (!QMediaDevices::audioOutputs().isEmpty()) {
        c.audio = new QAudioOutput();
        c.player->setAudioOutput(c.audio);
    }
    if (QWidget* window = MainWidgetForDialogs()) {
        c.video = new QVideoWidget(window);
        c.video->setAspectRatioMode(Qt::IgnoreAspectRatio);
        if (rect) c.video->setGeometry(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
        else c.video->setGeometry(window->rect());
        c.player->setVideoOutput(c.video);
    }
    c.player->setSource(LocalFileUrl(c.path));
    QMediaPlayer* p = c.player;
    WaitFor(kClipOpenTimeoutMs, [p]() {
        QMediaPlayer::MediaStatus s = p->mediaStatus();
        return p->error() != QMediaPlayer::NoError || s == QMediaPlayer::LoadedMedia || s == QMediaPlayer::InvalidMedia ||
               s == QMediaPlayer::BufferedMedia;
    });
    QMediaPlayer::MediaStatus s = p->mediaStatus();
    if (p->error() != QMediaPlayer::NoError || (s != QMediaPlayer::LoadedMedia && s != QMediaPlayer::BufferedMedia)) return 0;
    if (startMs >= 0) {
        if (!p->isSeekable()) return 0;
        p->setPosition(startMs);
    }
    if (c.video) c.video->show();
    return 1;
}

int ClipOpen(const char* path, const Rect* rect, long startMs) {
    if (!FileExists(path)) return 0;
    Clip c;
    c.path = ResolvePath(path);
    if (TestModeEnabled()) {
        sound.clipEvents.push_back("open " + c.path);
    } else if (!OpenClipOnBackEnd(c, rect, startMs)) {
        ReleaseClip(c);
        return 0;
    }
    int device = sound.nextClip++;
    sound.clips[device] = c;
    return device;
}

int ClipPlay(int device, int notify, int repeat) {
    Clip* c = FindClip(device);
    if (!c) return 0;
    if (TestModeEnabled()) {
        sound.clipEvents.push_back((repeat ? "repeat " : "play ") + std::to_string(device));
        if (notify && !repeat) PostMessage(MSG_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, device);
        return 1;
    }
    QMediaPlayer* p = c->player;
    QObject::disconnect(p, &QMediaPlayer::mediaStatusChanged, nullptr, nullptr);
    p->setLoops(repeat ? QMediaPlayer::Infinite : 1);
    if (notify && !repeat) {
        QObject::connect(p, &QMediaPlayer::mediaStatusChanged, p, [device](QMediaPlayer::MediaStatus s) {
            if (s == QMediaPlayer::EndOfMedia) PostMessage(MSG_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, device);
        });
    }
    if (c->video) c->video->show();
    p->play();
    return p->error() == QMediaPlayer::NoError ? 1 : 0;
}

void ClipClose(int device) {
    Clip* c = FindClip(device);
    if (!c) return;
    if (TestModeEnabled()) sound.clipEvents.push_back("close " + std::to_string(device));
    ReleaseClip(*c);
    sound.clips.erase(device);
}

