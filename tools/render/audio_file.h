// Audio files through libsndfile: reading any format it knows, and writing a
// result to a temporary file beside its destination that takes the
// destination's name only once it is complete.
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace render {

// An input file open for reading as 32-bit float frames. Throws a file
// Failure when the file is missing, unreadable or not audio.
class AudioReader {
public:
    explicit AudioReader(const std::filesystem::path& file);
    ~AudioReader();
    AudioReader(const AudioReader&) = delete;
    AudioReader& operator=(const AudioReader&) = delete;

    const SF_INFO& info() const { return fileInfo; }
    // Reads up to `frames` interleaved frames; answers how many, 0 at the end.
    std::int64_t read(float* interleaved, std::int64_t frames);

private:
    std::filesystem::path file;
    SF_INFO fileInfo{};
    int descriptor = -1;
    SNDFILE* sound = nullptr;
};

// A result being written. Nothing appears under the destination's name until
// commit(); a writer destroyed without commit() leaves no file behind.
class AudioWriter {
public:
    // replace: whether an existing destination may be replaced.
    AudioWriter(const std::filesystem::path& destination, const SF_INFO& format, bool replace);
    ~AudioWriter();
    AudioWriter(const AudioWriter&) = delete;
    AudioWriter& operator=(const AudioWriter&) = delete;

    void write(const float* interleaved, std::int64_t frames);
    // Finishes the file and gives it the destination's name.
    void commit();

private:
    void discard();

    std::filesystem::path destination;
    std::filesystem::path temporary;
    bool replace;
    int descriptor = -1;
    SNDFILE* sound = nullptr;
};

// The format for a result named `destination` of `input`:
// the input's, unless the destination's extension names another container
// libsndfile writes; then the input's sample type if that container takes it.
int outputFormat(const SF_INFO& input, const std::filesystem::path& destination);

// "WAV", "FLAC", ... for messages.
std::string formatName(int format);

}  // namespace render
