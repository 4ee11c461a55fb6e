// Writes the game's two sounds as 16-bit mono PCM WAV files: a short bright
// chime ("Ping.wav") and a few seconds of clapping ("Applause.wav"). Both are
// synthesized from fixed seeds, so every build writes the same bytes.
//
// Usage: make_sounds <output folder>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int SampleRate = 44100;
constexpr double Pi = 3.14159265358979323846;

void PutLE(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(char((value >> (8 * i)) & 0xFF));
}

// Scales the samples so the loudest reaches `peak` of full scale, then writes
// them as a canonical 44-byte-header WAV file.
bool WriteWav(const std::string& path, std::vector<double> samples, double peak)
{
    double loudest = 0;
    for (double s : samples)
        loudest = std::max(loudest, std::abs(s));
    double gain = loudest > 0 ? peak / loudest : 0;

    std::string data;
    data.reserve(samples.size() * 2);
    for (double s : samples) {
        long v = std::lround(std::clamp(s * gain, -1.0, 1.0) * 32767.0);
        PutLE(data, uint32_t(int16_t(v)) & 0xFFFF, 2);
    }

    std::string wav = "RIFF";
    PutLE(wav, uint32_t(36 + data.size()), 4);
    wav += "WAVEfmt ";
    PutLE(wav, 16, 4); // format chunk size
    PutLE(wav, 1, 2); // PCM
    PutLE(wav, 1, 2); // mono
    PutLE(wav, SampleRate, 4);
    PutLE(wav, SampleRate * 2, 4); // bytes per second
    PutLE(wav, 2, 2); // bytes per frame
    PutLE(wav, 16, 2); // bits per sample
    wav += "data";
    PutLE(wav, uint32_t(data.size()), 4);
    wav += data;

    // Written beside the target and renamed, so a reader never sees half a file.
    std::string temporary = path + ".part";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file.write(wav.data(), std::streamsize(wav.size())))
            return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

// A bell-like chime: a bright fundamental with a few inharmonic partials,
// each dying away at its own rate, after a 3 ms attack that avoids a click.
std::vector<double> Ping()
{
    const double seconds = 0.6;
    const double fundamental = 1760.0; // A6
    struct Partial {
        double ratio, amplitude, decay;
    };
    const Partial partials[] = {
        { 1.0, 1.0, 7.0 }, { 2.0, 0.45, 11.0 }, { 2.76, 0.3, 15.0 }, { 5.40, 0.12, 24.0 },
    };
    std::vector<double> out(size_t(seconds * SampleRate));
    for (size_t n = 0; n < out.size(); ++n) {
        double t = double(n) / SampleRate;
        double attack = std::min(1.0, t / 0.003);
        double release = std::min(1.0, (seconds - t) / 0.02);
        double s = 0;
        for (const auto& p : partials)
            s += p.amplitude * std::exp(-p.decay * t) * std::sin(2 * Pi * fundamental * p.ratio * t);
        out[n] = s * attack * release;
    }
    return out;
}

// Clapping: many hands, each clap a burst of band-limited noise with a sharp
// attack and a fast decay; clappers keep their own loose tempo, and the crowd
// swells in, holds and dies away over about three and a half seconds.
std::vector<double> Applause()
{
    const double seconds = 3.5;
    std::vector<double> out(size_t(seconds * SampleRate));
    std::mt19937 random(20240611);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::normal_distribution<double> noise(0.0, 1.0);

    const int clappers = 14;
    for (int who = 0; who < clappers; ++who) {
        double tempo = 3.2 + 2.4 * unit(random); // claps per second
        double loudness = 0.5 + 0.5 * unit(random);
        // Each hand pair has its own colour: a one-pole band around 1-3 kHz.
        double centre = 900 + 2200 * unit(random);
        double lowAlpha = std::exp(-2 * Pi * (centre * 1.8) / SampleRate);
        double highAlpha = std::exp(-2 * Pi * (centre * 0.5) / SampleRate);
        double t = 0.25 * unit(random);
        while (t < seconds - 0.05) {
            double length = 0.02 + 0.025 * unit(random);
            double decay = 1.0 / (0.004 + 0.006 * unit(random));
            double amplitude = loudness * (0.7 + 0.6 * unit(random));
            size_t start = size_t(t * SampleRate);
            double low = 0, lowOfLow = 0;
            for (size_t k = 0; k < size_t(length * SampleRate) && start + k < out.size(); ++k) {
                double u = double(k) / SampleRate;
                double envelope = std::min(1.0, u / 0.0008) * std::exp(-decay * u);
                double x = noise(random);
                low = (1 - lowAlpha) * x + lowAlpha * low; // cuts the hiss
                lowOfLow = (1 - highAlpha) * low + highAlpha * lowOfLow; // the rumble to remove
                out[start + k] += amplitude * envelope * (low - lowOfLow);
            }
            t += (1.0 / tempo) * (0.8 + 0.4 * unit(random));
        }
    }
    for (size_t n = 0; n < out.size(); ++n) {
        double t = double(n) / SampleRate;
        double swell = std::min(1.0, t / 0.3) * std::min(1.0, (seconds - t) / 1.2);
        out[n] *= swell;
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    std::string folder = argv[1];
    bool ok = WriteWav(folder + "/Ping.wav", Ping(), 0.7) && WriteWav(folder + "/Applause.wav", Applause(), 0.8);
    if (!ok) {
        std::fprintf(stderr, "make_sounds: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
