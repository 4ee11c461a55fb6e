// Loading a 6000 by 4000 photo into the board and answer pictures, side by
// side with libjpeg-turbo's own decoding of the same file: at the reduced
// DCT scale the board needs (the target is at most 1.5 times that) and at
// full size for reference. Also reports the peak memory one load adds.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <jpeglib.h>
#include <unistd.h>

#include "platform/Application.h"
#include "platform/Files.h"
#include "platform/Graphics.h"
#include "platform/Picture.h"
#include "platform/testsupport/JpegWriter.h"
#include "platform/Strings.h"
#include "puzzle/PicturePlugins.h"

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

std::string g_path;
std::vector<unsigned char> g_bytes;

// Gradients with fine detail over them, so the file codes like a photo
// rather than a flat colour.
void MakePhoto()
{
    g_path = (std::filesystem::temp_directory_path() / ("tavrine-bench-" + std::to_string(getpid()) + ".jpg")).string();
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
    fw::JpegWriteOptions options;
    options.Quality = 90;
    if (!fw::SavePictureJPEG(*picture, g_path, options)) {
        std::fprintf(stderr, "cannot write %s\n", g_path.c_str());
        std::exit(1);
    }
    std::ifstream in(g_path, std::ios::binary);
    g_bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What the game does with a chosen file: decode, then draw the top-left
// square into the 500 by 500 board and the 200 by 200 answer.
void LoadIntoViews(std::shared_ptr<fw::Picture>& board, std::shared_ptr<fw::Picture>& answer)
{
    auto source = OpenAsJPEGMBS(fw::FolderItem(g_path), true);
    if (!source)
        std::abort();
    const int32_t m = std::min(source->Width(), source->Height());
    const double scale = 500.0 / m;
    board = fw::NewPicture(500, 500, 32);
    answer = fw::NewPicture(200, 200, 32);
    const int32_t s = fw::ToInt32(200.0 / (scale / 2.5));
    answer->GetGraphics()->DrawPicture(source, 0, 0, 200, 200, 0, 0, s, s);
    const int32_t t = fw::ToInt32(500.0 / scale);
    board->GetGraphics()->DrawPicture(source, 0, 0, 500, 500, 0, 0, t, t);
}

[[noreturn]] void Fail(j_common_ptr) { std::abort(); }

// libjpeg-turbo alone: the whole file into 32-bit pixels at 1/denominator.
size_t TurboDecode(unsigned denominator)
{
    jpeg_decompress_struct cinfo {};
    jpeg_error_mgr errors {};
    cinfo.err = jpeg_std_error(&errors);
    errors.error_exit = Fail;
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, g_bytes.data(), static_cast<unsigned long>(g_bytes.size()));
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

void BM_LoadIntoBoardAndAnswer(benchmark::State& state)
{
    std::shared_ptr<fw::Picture> board, answer;
    for (auto _ : state) {
        LoadIntoViews(board, answer);
        benchmark::DoNotOptimize(board->Pixel(250, 250));
    }
}

// The largest DCT reduction that leaves the board its 500 pixels: 4000 / 8.
void BM_TurboDecodeAtBoardScale(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(TurboDecode(8));
}

void BM_TurboDecodeFullSize(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(TurboDecode(1));
}

// Peak resident memory one load adds, in MB (the target is under 40).
void BM_LoadPeakMemory(benchmark::State& state)
{
    double growth = 0;
    for (auto _ : state) {
        std::shared_ptr<fw::Picture> board, answer;
        // Gives freed memory back first, so the load cannot hide in pages
        // that are resident already, then resets the peak to the present
        // resident size.
        malloc_trim(0);
        std::ofstream("/proc/self/clear_refs") << "5";
        const long before = StatusKilobytes("VmRSS:");
        LoadIntoViews(board, answer);
        const long peak = StatusKilobytes("VmHWM:");
        growth = double(peak - before) / 1024.0;
    }
    state.counters["peak_growth_MB"] = growth;
}

BENCHMARK(BM_LoadPeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadIntoBoardAndAnswer)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_TurboDecodeAtBoardScale)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_TurboDecodeFullSize)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    fw::RuntimeInit(argc, argv);
    LoadPicturePlugins();
    MakePhoto();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove(g_path, ignored);
    return 0;
}
