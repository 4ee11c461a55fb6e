#pragma once

// Shared by the picture tests: the picture library's functions, generated
// test pictures and JPEG files made from them, and a private folder.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/Picture.h"
#include "platform/Plugins.h"
#include "platform/pictures/PictureData.h"
#include "platform/plugins/PictureFunctions.h"

namespace picturetest {

// The picture library bound through the same table as the game binds it.
struct Library {
    static const PictureFunctions& Get()
    {
        static const PictureFunctions library = fw::LoadPluginTable<PictureFunctions>();
        return library;
    }
};

inline std::shared_ptr<fw::Picture> Open(const std::string& path, bool allowDamaged = true)
{
    return fw::PictureFromPlugin(Library::Get().OpenAsJPEGMBS(path.c_str(), allowDamaged));
}

inline std::shared_ptr<fw::Picture> Turn(RotateFunction turn, const std::shared_ptr<fw::Picture>& picture)
{
    return fw::PictureFromPlugin(turn(fw::PictureForPlugin(*picture)));
}

// A folder of its own for each test, removed afterwards.
class TempFolder {
public:
    TempFolder()
    {
        static int counter = 0;
        m_path = std::filesystem::temp_directory_path()
            / ("tavrine-pictures-" + std::to_string(getpid()) + "-" + std::to_string(++counter));
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

inline std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The colour of cell (column, row) of a grid: neighbours differ clearly in
// red (columns) and green (rows), so a shifted or misplaced cell shows.
constexpr uint32_t CellColour(int column, int row)
{
    return 0xFF000000u | uint32_t(30 + (column * 37) % 200) << 16 | uint32_t(30 + (row * 59) % 200) << 8 | 0x80u;
}

// A picture of square cells of side `cell` in the colours above.
inline std::shared_ptr<fw::Picture> GridPicture(int width, int height, int cell)
{
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[size_t(y) * size_t(width) + size_t(x)] = CellColour(x / cell, y / cell);
    return fw::PictureFromPixels(width, height, pixels);
}

// A picture of one colour.
inline std::shared_ptr<fw::Picture> PlainPicture(int width, int height, uint32_t colour)
{
    return fw::PictureFromPixels(width, height, std::vector<uint32_t>(size_t(width) * size_t(height), colour));
}

inline int Channel(uint32_t pixel, int shift) { return int((pixel >> shift) & 0xFF); }

// Whether two colours agree within `tolerance` in each of red, green, blue.
inline bool Near(uint32_t a, uint32_t b, int tolerance)
{
    for (int shift : { 16, 8, 0 }) {
        if (std::abs(Channel(a, shift) - Channel(b, shift)) > tolerance)
            return false;
    }
    return true;
}

inline std::string Hex(uint32_t pixel)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08X", pixel);
    return text;
}

} // namespace picturetest
