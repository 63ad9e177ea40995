#include "inputaudio/QorAudio.h"

#include <array>
#include <utility>

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/MemoryIniFile.h"
#include "engine/Qor.h"
#include "engine/Strings.h"
#include "inputaudio/SoundStream.h"
#include "platform/AudioError.h"
#include "platform/AudioSystem.h"

QOR_DEFINE_ROOT_CLASS(QorAudio, nullptr)

namespace {
constexpr int kDefaultFrequency = 22050;
constexpr int kDefaultChannels = 32;

struct ErrorName {
    int code;
    const char16_t* name;
};

constexpr std::array<ErrorName, 36> kErrorNames{{
    {AudioError::kUnknown, u"BASS_ERROR_UNKNOWN"},
    {AudioError::kOk, u"BASS_OK"},
    {AudioError::kMemory, u"BASS_ERROR_MEM"},
    {AudioError::kFileOpen, u"BASS_ERROR_FILEOPEN"},
    {AudioError::kDriver, u"BASS_ERROR_DRIVER"},
    {AudioError::kBufferLost, u"BASS_ERROR_BUFLOST"},
    {AudioError::kHandle, u"BASS_ERROR_HANDLE"},
    {AudioError::kFormat, u"BASS_ERROR_FORMAT"},
    {AudioError::kPosition, u"BASS_ERROR_POSITION"},
    {AudioError::kInit, u"BASS_ERROR_INIT"},
    {AudioError::kStart, u"BASS_ERROR_START"},
    {AudioError::kAlready, u"BASS_ERROR_ALREADY"},
    {AudioError::kNoChannel, u"BASS_ERROR_NOCHAN"},
    {AudioError::kIllegalType, u"BASS_ERROR_ILLTYPE"},
    {AudioError::kIllegalParam, u"BASS_ERROR_ILLPARAM"},
    {AudioError::kNo3D, u"BASS_ERROR_NO3D"},
    {AudioError::kNoEAX, u"BASS_ERROR_NOEAX"},
    {AudioError::kDevice, u"BASS_ERROR_DEVICE"},
    {AudioError::kNoPlay, u"BASS_ERROR_NOPLAY"},
    {AudioError::kFrequency, u"BASS_ERROR_FREQ"},
    {AudioError::kNotFile, u"BASS_ERROR_NOTFILE"},
    {AudioError::kNoHardware, u"BASS_ERROR_NOHW"},
    {AudioError::kEmpty, u"BASS_ERROR_EMPTY"},
    {AudioError::kNoNet, u"BASS_ERROR_NONET"},
    {AudioError::kCreate, u"BASS_ERROR_CREATE"},
    {AudioError::kNoEffects, u"BASS_ERROR_NOFX"},
    {AudioError::kNotAvailable, u"BASS_ERROR_NOTAVAIL"},
    {AudioError::kDecode, u"BASS_ERROR_DECODE"},
    {AudioError::kDirectX, u"BASS_ERROR_DX"},
    {AudioError::kTimeout, u"BASS_ERROR_TIMEOUT"},
    {AudioError::kFileForm, u"BASS_ERROR_FILEFORM"},
    {AudioError::kSpeaker, u"BASS_ERROR_SPEAKER"},
    {AudioError::kVersion, u"BASS_ERROR_VERSION"},
    {AudioError::kCodec, u"BASS_ERROR_CODEC"},
    {AudioError::kEnded, u"BASS_ERROR_ENDED"},
    {AudioError::kBusy, u"BASS_ERROR_BUSY"},
}};

// The capability bits of the output, in the order the log lists them.
constexpr std::array<std::pair<std::uint32_t, const char16_t*>, 7> kCapabilities{{
    {AudioCaps::kContinuousRate, u"DSCAPS_CONTINUOUSRATE"},
    {AudioCaps::kEmulatedDriver, u"DSCAPS_EMULDRIVER"},
    {AudioCaps::kCertified, u"DSCAPS_CERTIFIED"},
    {AudioCaps::kSecondaryMono, u"DSCAPS_SECONDARYMONO"},
    {AudioCaps::kSecondaryStereo, u"DSCAPS_SECONDARYSTEREO"},
    {AudioCaps::kSecondary8Bit, u"DSCAPS_SECONDARY8BIT"},
    {AudioCaps::kSecondary16Bit, u"DSCAPS_SECONDARY16BIT"},
}};

constexpr int kDevice3D = static_cast<int>(AudioFlag::kDevice3D);

std::u16string textOrNone(const std::string& utf8) { return utf8.empty() ? u"none" : utf8ToWide(utf8); }
}  // namespace

ClassInfo* QorAudio::getClass() const { return &classInfo; }

AudioSystem& QorAudio::library() { return AudioSystem::shared(); }

QorAudio::QorAudio() {
    QOR_LOG("QorAudio::QorAudio", u"Starting...");
    int channels = 0;
    readSettings(channels);
    AudioSystem& audio = library();
    QOR_LOG("QorAudio::QorAudio", u"Using BASS version %08x", audio.getVersion());
    if (audio.getVersion() < 0x02040a08)
        assertionFailedAt("QorAudio::QorAudio", __FILE__, __LINE__, "BASS_GetVersion() >= 0x02040a08");
    audio.setConfig(AudioConfig::kDefaultFollows, 1);
    audio.setConfig(AudioConfig::kUtf8Names, 1);
    const int deviceCount = listDevices();
    if (muted)
        QOR_LOG("QorAudio::QorAudio", u"Sound has been muted.");
    else
        openOutput(deviceCount);
    if (muted) {
        QOR_LOG("QorAudio::QorAudio", u"Attempting to initialize device 0 (mute)...");
        if (!audio.init(0, frequency, kDevice3D))
            reportCallFailure("QorAudio::QorAudio", __FILE__, __LINE__,
                              "BASS_Init(0, frequency, BASS_DEVICE_3D, qor->hWindowHandle, NULL)");
    }
    logInfo();
    QOR_LOG("QorAudio::QorAudio", u"Started.");
}

void QorAudio::readSettings(int& channels) {
    MemoryIniFile& s = qor->settings();
    const std::u16string section = classInfo.name;
    muted = s.getBool(section, u"bNoAudio", muted);
    frequency =
        s.getInt(section, u"frequency", kDefaultFrequency, AudioSystem::kMinOutputRate, AudioSystem::kMaxOutputRate);
    startFrequency = frequency;
    channels = s.getInt(section, u"channels", kDefaultChannels);
}

int QorAudio::listDevices() {
    QOR_LOG("QorAudio::QorAudio", u"Available audio devices: ");
    QOR_LOG("QorAudio::QorAudio", u"-1.  (default device)");
    int n = 0;
    AudioDeviceInfo info;
    for (; library().getDeviceInfo(n, info); ++n) {
        QOR_LOG("QorAudio::QorAudio", u"%d.  %s (driver=%s) flags=%s %s %s", n, textOrNone(info.name),
                textOrNone(info.driver), std::u16string(info.flags & AudioDeviceFlag::kEnabled ? u"ENABLED" : u""),
                std::u16string(info.flags & AudioDeviceFlag::kDefault ? u"DEFAULT" : u""),
                std::u16string(info.flags & AudioDeviceFlag::kInit ? u"INIT" : u""));
    }
    return n;
}

void QorAudio::openOutput(int deviceCount) {
    QOR_LOG("QorAudio::QorAudio", u"Creating audio: %d Hz.", frequency);
    // The default output first, then every real one; device 0 is the silent fallback.
    for (int d = -1; d < std::max(deviceCount, 1); ++d) {
        if (d == 0) continue;
        QOR_LOG("QorAudio::QorAudio", u"Attempting to initialize device %d...", d);
        if (library().init(d, frequency, kDevice3D)) {
            QOR_LOG("QorAudio::QorAudio", u"...success!");
            return;
        }
        QOR_LOG("QorAudio::QorAudio", u"... failed with '%s'", getBASSErrorString(library().errorGetCode()));
    }
    muted = true;
}

QorAudio::~QorAudio() {
    MemoryIniFile& settings = qor->settings();
    settings.setInt(classInfo.name, u"frequency", frequency);
    // The engine saved its settings before its parts went down; a rate chosen since the
    // start would be lost without this save.
    if (frequency != startFrequency) settings.save();
    library().free();
}

std::u16string QorAudio::getBASSErrorString(int code) {
    for (const ErrorName& e : kErrorNames)
        if (e.code == code) return e.name;
    return formatString(u"Unknown BASS error: %08x", static_cast<std::uint32_t>(code));
}

void QorAudio::reportCallFailure(const char* method, const char* file, int line, const char* statement,
                                 const std::u16string& source) {
    std::u16string what = getBASSErrorString(library().errorGetCode());
    if (!source.empty()) what = formatString(u"%s is damaged and cannot be played (%s).", source, what);
    reportFatal(formatString(u"Error: %s\n Statement: %s\n Function: %s()\n File: %s\n Line: %d", what,
                             utf8ToWide(statement), utf8ToWide(method), utf8ToWide(getFileName(std::string_view(file))),
                             line));
}

void QorAudio::logInfo() {
    AudioInfo info;
    library().getInfo(info);
    std::u16string supported, unsupported;
    for (const auto& [bit, name] : kCapabilities) {
        // Appended in two steps: GCC 12 warns falsely (-Wrestrict) on u" " + name.
        std::u16string& list = info.flags & bit ? supported : unsupported;
        list += u' ';
        list += name;
    }
    Logger* log = &qor->logger();
    log->log(u"\t%s:%s", std::u16string(u"info.flags"), supported);
    if (!unsupported.empty()) log->log(u"\t%s %s", std::u16string(u"(unsupported)"), unsupported);
    const std::pair<const char16_t*, std::uint32_t> first[] = {
        {u"info.hwsize", info.hwsize}, {u"info.hwfree", info.hwfree},   {u"info.freesam", info.freesam},
        {u"info.free3d", info.free3d}, {u"info.minrate", info.minrate}, {u"info.maxrate", info.maxrate}};
    for (const auto& [name, value] : first) log->log(u"\t%s: %u", std::u16string(name), value);
    log->log(u"\tinfo.eax: %s", std::u16string(info.eax ? u"true" : u"false"));
    const std::pair<const char16_t*, std::uint32_t> second[] = {{u"info.minbuf", info.minbuf},
                                                                {u"info.dsver", info.dsver},
                                                                {u"info.latency", info.latency},
                                                                {u"info.initflags", info.initflags},
                                                                {u"info.speakers", info.speakers}};
    for (const auto& [name, value] : second) log->log(u"\t%s: %u", std::u16string(name), value);
}

void QorAudio::setMusic(SoundStream* stream) {
    if (stream == music) return;
    if (music) {
        if (!music->pStream) music->recreateSoundStream();
        library().channelStop(music->pStream);
    }
    music = stream;
    if (music) music->play(0.0f);
}

void QorAudio::onQORmodeChange(int oldMode, int newMode) {
    // Only the window's focus pauses the output; a lost display is the resources' business.
    if (oldMode == Qor::MODE_OK && newMode == Qor::MODE_PAUSED)
        library().pause();
    else if (oldMode == Qor::MODE_PAUSED && newMode == Qor::MODE_OK)
        library().start();
}

void QorAudio::update(std::uint32_t milliseconds) { library().update(static_cast<int>(milliseconds)); }

double QorAudio::getCPU() const { return library().getCPU(); }
