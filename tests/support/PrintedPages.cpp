#include "tests/support/PrintedPages.h"

#include <cstdio>
#include <memory>

namespace PrintedPages {

std::string RunCommand(const std::string& command)
{
    std::string output;
    // No tool run here may hold the test up for long.
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(("timeout 60 " + command).c_str(), "r"), pclose);
    if (!pipe)
        return output;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0)
        output.append(buffer, n);
    return output;
}

std::string NumberedLines(const char* prefix, int count)
{
    std::string text;
    for (int i = 1; i <= count; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "%s%04d", prefix, i);
        if (i > 1)
            text += "\r";
        text += line;
    }
    return text;
}

int PageCount(const std::string& pdf)
{
    const std::string info = RunCommand("pdfinfo '" + pdf + "' 2>/dev/null");
    const size_t at = info.find("Pages:");
    return at == std::string::npos ? 0 : std::stoi(info.substr(at + 6));
}

std::vector<std::string> PageTexts(const std::string& pdf)
{
    const std::string text = RunCommand("pdftotext -layout '" + pdf + "' - 2>/dev/null");
    std::vector<std::string> pages;
    size_t start = 0;
    for (size_t ff; (ff = text.find('\f', start)) != std::string::npos; start = ff + 1)
        pages.push_back(text.substr(start, ff - start));
    return pages;
}

} // namespace PrintedPages
