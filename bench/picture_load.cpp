// Loading a 6000 by 4000 photo into the board and answer pictures through the
// game's own routine (LoadPuzzlePicture, its open dialog answered with the
// file), side by side with libjpeg-turbo's own decoding of the same file: at
// the reduced DCT scale the board needs (the target is at most 1.5 times
// that) and at full size for reference. Both a baseline and a progressive
// file. Also reports the peak memory one load adds, against libjpeg-turbo's
// own peak for the same decode plus 10 MB: a progressive file needs libjpeg's
// whole-image coefficient buffer, a baseline one only a few rows.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <jpeglib.h>
#include <unistd.h>

#include "OffscreenGame.h"
#include "app/App.h"
#include "app/ModuleValues.h"
#include "module/Globals.h"
#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Graphics.h"
#include "platform/Picture.h"
#include "platform/Seams.h"
#include "platform/testsupport/JpegWriter.h"
#include "platform/Strings.h"
#include "puzzle/PictureLoading.h"
#include "puzzle/PicturePlugins.h"
#include "puzzle/Window1.h"

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

struct Photo {
    std::string Path;
    std::vector<unsigned char> Bytes;
};

Photo g_photos[2]; // baseline, progressive
// The file the game's open dialog answers with.
std::string g_chosen;

// Gradients with fine detail over them, so the file codes like a photo
// rather than a flat colour.
void MakePhotos()
{
    std::vector<uint32_t> pixels(size_t(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const uint32_t r = uint32_t(x * 255 / kWidth);
            const uint32_t g = uint32_t(y * 255 / kHeight);
            const uint32_t b = uint32_t(((x ^ y) & 0x3F) + ((x / 97 + y / 89) % 2) * 128);
            pixels[size_t(y) * kWidth + size_t(x)] = 0xFF000000u | r << 16 | g << 8 | b;
        }
    }
    auto picture = fw::PictureFromPixels(kWidth, kHeight, pixels);
    for (int progressive = 0; progressive < 2; ++progressive) {
        Photo& photo = g_photos[progressive];
        photo.Path = (std::filesystem::temp_directory_path()
            / ("tavrine-bench-" + std::to_string(getpid()) + (progressive ? "-progressive" : "") + ".jpg"))
                         .string();
        fw::JpegWriteOptions options;
        options.Quality = 90;
        options.Progressive = progressive != 0;
        if (!fw::SavePictureJPEG(*picture, photo.Path, options)) {
            std::fprintf(stderr, "cannot write %s\n", photo.Path.c_str());
            std::exit(1);
        }
        std::ifstream in(photo.Path, std::ios::binary);
        photo.Bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
}

// What the player's choice of a file sets off: the game's own loading
// routine, from the open dialog to the board and answer views.
void LoadIntoViews(const Photo& photo)
{
    g_chosen = photo.Path;
    auto window = Window1Instance();
    window->Canvas1()->SetBackdrop(nullptr);
    LoadPuzzlePicture();
    if (!window->Canvas1()->Backdrop() || !window->Canvas2()->Backdrop())
        std::abort();
}

[[noreturn]] void Fail(j_common_ptr) { std::abort(); }

// libjpeg-turbo alone: the whole file into 32-bit pixels at 1/denominator.
size_t TurboDecode(const Photo& photo, unsigned denominator)
{
    jpeg_decompress_struct cinfo {};
    jpeg_error_mgr errors {};
    cinfo.err = jpeg_std_error(&errors);
    errors.error_exit = Fail;
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, photo.Bytes.data(), static_cast<unsigned long>(photo.Bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_EXT_BGRA;
    cinfo.scale_num = 1;
    cinfo.scale_denom = denominator;
    jpeg_start_decompress(&cinfo);
    std::vector<unsigned char> pixels(size_t(cinfo.output_width) * cinfo.output_height * 4);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels.data() + size_t(cinfo.output_scanline) * cinfo.output_width * 4;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return pixels.size();
}

long StatusKilobytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::strtol(line.c_str() + std::char_traits<char>::length(field), nullptr, 10);
    }
    return -1;
}

// Peak resident memory `work` adds, in MB. Gives freed memory back first, so
// the work cannot hide in pages that are resident already, then resets the
// peak to the present resident size.
double PeakGrowthMB(const std::function<void()>& work)
{
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
    const long before = StatusKilobytes("VmRSS:");
    work();
    const long peak = StatusKilobytes("VmHWM:");
    return double(peak - before) / 1024.0;
}

// The largest DCT reduction that leaves the board its 500 pixels: 4000 / 8.
constexpr unsigned kBoardDenominator = 8;

void BM_LoadIntoBoardAndAnswer(benchmark::State& state)
{
    const Photo& photo = g_photos[state.range(0)];
    for (auto _ : state)
        LoadIntoViews(photo);
}

void BM_TurboDecodeAtBoardScale(benchmark::State& state)
{
    const Photo& photo = g_photos[state.range(0)];
    for (auto _ : state)
        benchmark::DoNotOptimize(TurboDecode(photo, kBoardDenominator));
}

void BM_TurboDecodeFullSize(benchmark::State& state)
{
    const Photo& photo = g_photos[state.range(0)];
    for (auto _ : state)
        benchmark::DoNotOptimize(TurboDecode(photo, 1));
}

// Peak memory one load adds, against libjpeg-turbo's own peak for the same
// decode at the same scale plus 10 MB.
void BM_LoadPeakMemory(benchmark::State& state)
{
    const Photo& photo = g_photos[state.range(0)];
    double load = 0;
    double turbo = 0;
    for (auto _ : state) {
        turbo = PeakGrowthMB([&] { benchmark::DoNotOptimize(TurboDecode(photo, kBoardDenominator)); });
        load = PeakGrowthMB([&] { LoadIntoViews(photo); });
    }
    state.counters["load_peak_MB"] = load;
    state.counters["turbo_peak_MB"] = turbo;
    state.counters["target_MB"] = turbo + 10;
    state.counters["met"] = load <= turbo + 10 ? 1 : 0;
}

BENCHMARK(BM_LoadPeakMemory)->Arg(0)->Arg(1)->ArgName("progressive")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadIntoBoardAndAnswer)->Arg(0)->Arg(1)->ArgName("progressive")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_TurboDecodeAtBoardScale)->Arg(0)->Arg(1)->ArgName("progressive")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_TurboDecodeFullSize)->Arg(0)->Arg(1)->ArgName("progressive")->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    StartOffscreenGame(argc, argv);
    LoadPicturePlugins();
    InitFileTypes();
    fw::RuntimeRegisterAppObject(std::make_shared<App>());
    // The open dialog answers with the file of the moment (nothing while the
    // main window opens); no message box may stop the run.
    fw::Seams::SetOpenDialogAnswer([](const fw::OpenDialog&) -> std::shared_ptr<fw::FolderItem> {
        if (g_chosen.empty())
            return nullptr;
        return std::make_shared<fw::FolderItem>(g_chosen);
    });
    fw::Seams::SetMessageBoxAnswer([](const std::string& text) {
        std::fprintf(stderr, "unexpected message: %s\n", text.c_str());
        std::abort();
    });
    Window1Instance();
    MakePhotos();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    for (const Photo& photo : g_photos)
        std::filesystem::remove(photo.Path, ignored);
    ReleaseModuleValues();
    return fw::RuntimeExit();
}
