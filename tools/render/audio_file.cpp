#include "tools/render/audio_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <string_view>
#include <system_error>
#include <vector>

#include "tools/render/failure.h"

namespace render {

namespace fs = std::filesystem;

namespace {

std::string errnoText(int error) { return std::error_code(error, std::generic_category()).message(); }

mode_t processUmask() {
    static const mode_t mask = [] {
        const mode_t current = umask(0);
        umask(current);
        return current;
    }();
    return mask;
}

std::string folderOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path().string() : std::string("the current folder");
}

struct ExtensionFormat {
    std::string_view extension;
    int major;
    int preferredSubtype;  // 0: keep the input's sample type when possible
};

constexpr std::array<ExtensionFormat, 13> kExtensionFormats = {{
    {"wav", SF_FORMAT_WAV, 0},       {"aif", SF_FORMAT_AIFF, 0},  {"aiff", SF_FORMAT_AIFF, 0},
    {"aifc", SF_FORMAT_AIFF, 0},     {"flac", SF_FORMAT_FLAC, 0}, {"ogg", SF_FORMAT_OGG, 0},
    {"oga", SF_FORMAT_OGG, 0},       {"opus", SF_FORMAT_OGG, SF_FORMAT_OPUS},
    {"mp3", SF_FORMAT_MPEG, 0},      {"caf", SF_FORMAT_CAF, 0},   {"w64", SF_FORMAT_W64, 0},
    {"rf64", SF_FORMAT_RF64, 0},     {"au", SF_FORMAT_AU, 0},
}};

// The container an extension names, from the table above or else from the
// list libsndfile keeps; 0 when none.
ExtensionFormat formatForExtension(const std::string& extension) {
    for (const auto& known : kExtensionFormats)
        if (known.extension == extension) return known;
    int count = 0;
    sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof count);
    for (int i = 0; i < count; ++i) {
        SF_FORMAT_INFO major{};
        major.format = i;
        if (sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &major, sizeof major) == 0 && major.extension &&
            extension == major.extension)
            return {{}, major.format, 0};
    }
    return {{}, 0, 0};
}

}  // namespace

AudioReader::AudioReader(const fs::path& input) : file(input) {
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (!fs::exists(status)) throw fileError(file.string() + " does not exist; check the file name");
    if (fs::is_directory(status)) throw fileError(file.string() + " is a folder; give the audio files inside it");
    descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        throw fileError("cannot read " + file.string() + " (" + errnoText(errno) + "); check its permissions");
    sound = sf_open_fd(descriptor, SFM_READ, &fileInfo, SF_FALSE);
    if (!sound || fileInfo.channels < 1 || fileInfo.samplerate < 1) {
        if (sound) sf_close(sound);
        ::close(descriptor);
        throw fileError(file.string() +
                        " is not an audio file libsndfile reads; give a WAV, AIFF, FLAC, Ogg or other audio file");
    }
}

AudioReader::~AudioReader() {
    sf_close(sound);
    ::close(descriptor);
}

std::int64_t AudioReader::read(float* interleaved, std::int64_t frames) {
    const sf_count_t got = sf_readf_float(sound, interleaved, frames);
    if (got < frames && sf_error(sound) != SF_ERR_NO_ERROR)
        throw fileError("reading " + file.string() + " failed (" + sf_strerror(sound) + "); the file may be damaged");
    return got;
}

AudioWriter::AudioWriter(const fs::path& target, const SF_INFO& format, bool replaceExisting)
    : destination(target), replace(replaceExisting) {
    // Hidden and beside the destination, so the final rename stays on one
    // file system and is atomic.
    std::string hidden = ".";
    hidden += destination.filename().string();
    hidden += ".XXXXXX";
    const std::string pattern = (destination.parent_path() / hidden).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    descriptor = mkostemp(name.data(), O_CLOEXEC);
    const int why = errno;
    if (descriptor < 0)
        throw fileError("cannot create a file in " + folderOf(destination) + " (" + errnoText(why) +
                        "); check the folder's permissions or write elsewhere with --out-dir");
    temporary = name.data();
    // mkostemp makes the file private; a result gets the usual permissions.
    fchmod(descriptor, 0666 & ~processUmask());

    SF_INFO info = format;
    info.frames = 0;
    sound = sf_open_fd(descriptor, SFM_WRITE, &info, SF_FALSE);
    if (!sound) {
        const std::string why = sf_strerror(nullptr);
        discard();
        throw fileError("cannot write " + destination.string() + " as " + formatName(format.format) + " (" + why +
                        "); give an output name with another extension, such as .wav");
    }
    // Integer formats clip instead of wrapping around.
    sf_command(sound, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    // The PEAK chunk of float WAV and AIFF files carries the time of writing:
    // without it, the same render gives the same file.
    sf_command(sound, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
}

AudioWriter::~AudioWriter() {
    if (!temporary.empty()) discard();
}

void AudioWriter::write(const float* interleaved, std::int64_t frames) {
    if (sf_writef_float(sound, interleaved, frames) != frames)
        throw fileError("writing " + destination.string() + " failed (" + sf_strerror(sound) +
                        "); check the free space in " + folderOf(destination));
}

void AudioWriter::commit() {
    const int closed = sf_close(sound);
    sound = nullptr;
    const int descriptorClosed = ::close(descriptor);
    descriptor = -1;
    if (closed != 0 || descriptorClosed != 0)
        throw fileError("writing " + destination.string() + " failed (" + sf_strerror(nullptr) +
                        "); check the free space in " + folderOf(destination));
    int renamed = 0;
    if (replace) {
        renamed = std::rename(temporary.c_str(), destination.c_str());
    } else {
        renamed = renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, destination.c_str(), RENAME_NOREPLACE);
        if (renamed != 0 && (errno == EINVAL || errno == ENOSYS)) {
            // The file system cannot rename without replacing: check first.
            std::error_code error;
            if (fs::exists(destination, error)) errno = EEXIST;
            else renamed = std::rename(temporary.c_str(), destination.c_str());
        }
    }
    if (renamed != 0) {
        const int why = errno;
        if (why == EEXIST) throw fileError(destination.string() + " already exists; give --force to replace it");
        throw fileError("cannot create " + destination.string() + " (" + errnoText(why) + "); check " +
                        folderOf(destination));
    }
    temporary.clear();
}

void AudioWriter::discard() {
    if (sound) sf_close(sound);
    sound = nullptr;
    if (descriptor >= 0) ::close(descriptor);
    descriptor = -1;
    if (!temporary.empty()) ::unlink(temporary.c_str());
    temporary.clear();
}

int outputFormat(const SF_INFO& input, const fs::path& destination) {
    std::string extension = destination.extension().string();
    if (extension.empty()) return input.format;
    extension.erase(0, 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const int inputMajor = input.format & SF_FORMAT_TYPEMASK;
    const ExtensionFormat named = formatForExtension(extension);
    if (named.major == 0 || named.major == inputMajor) return input.format;

    const std::array<int, 8> subtypes = {named.preferredSubtype,   input.format & SF_FORMAT_SUBMASK,
                                         SF_FORMAT_FLOAT,          SF_FORMAT_PCM_24,
                                         SF_FORMAT_PCM_16,         SF_FORMAT_VORBIS,
                                         SF_FORMAT_MPEG_LAYER_III, SF_FORMAT_OPUS};
    for (const int subtype : subtypes) {
        if (subtype == 0) continue;
        SF_INFO candidate{};
        candidate.format = named.major | subtype;
        candidate.channels = input.channels;
        candidate.samplerate = input.samplerate;
        if (sf_format_check(&candidate)) return candidate.format;
    }
    return input.format;
}

std::string formatName(int format) {
    SF_FORMAT_INFO major{};
    major.format = format & SF_FORMAT_TYPEMASK;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &major, sizeof major) == 0 && major.name) return major.name;
    return "its format";
}

}  // namespace render
