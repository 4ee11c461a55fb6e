// Sounds loaded from files, and the seams of sounds, links and the beep.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstring>
#include <fstream>

#include "platform/Files.h"
#include "platform/testsupport/InputDriver.h"
#include "platform/Application.h"
#include "platform/Exceptions.h"
#include "platform/Plugins.h"
#include "platform/Seams.h"
#include "platform/System.h"
#include "platform/qt/RuntimeInternal.h"

namespace {

void Put32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(char((v >> (8 * i)) & 0xFF));
}

void Put16(std::string& out, uint16_t v)
{
    out.push_back(char(v & 0xFF));
    out.push_back(char(v >> 8));
}

std::string Chunk(const char* id, const std::string& body)
{
    std::string out(id, 4);
    Put32(out, uint32_t(body.size()));
    out += body;
    if (body.size() % 2)
        out.push_back('\0');
    return out;
}

std::string FormatChunk(uint16_t tag = 1, uint16_t channels = 1, uint32_t rate = 8000, uint16_t bits = 16)
{
    std::string body;
    Put16(body, tag);
    Put16(body, channels);
    Put32(body, rate);
    Put32(body, rate * channels * bits / 8);
    Put16(body, uint16_t(channels * bits / 8));
    Put16(body, bits);
    return Chunk("fmt ", body);
}

// A short rising tone in 16-bit mono PCM.
std::string Samples(int count)
{
    std::string body;
    for (int i = 0; i < count; ++i)
        Put16(body, uint16_t(int16_t((i % 40 - 20) * 800)));
    return body;
}

std::string Riff(const std::string& chunks)
{
    std::string out = "RIFF";
    Put32(out, uint32_t(4 + chunks.size()));
    return out + "WAVE" + chunks;
}

class SoundDesktopTest : public testing::Test {
protected:
    void SetUp() override
    {
        fw::Seams::ResetSeams();
        ASSERT_TRUE(m_folder.isValid());
    }
    void TearDown() override { fw::Seams::ResetSeams(); }

    fw::FolderItem Write(const std::string& name, const std::string& bytes)
    {
        const std::string path = m_folder.path().toStdString() + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return fw::FolderItem(path);
    }

    QTemporaryDir m_folder;
};

TEST_F(SoundDesktopTest, OnlyPlayableWaveFilesOpenAsSounds)
{
    auto good = Write("Ping.wav", Riff(FormatChunk() + Chunk("data", Samples(400))));
    auto sound = good.OpenAsSound();
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->Path(), good.NativePath());

    // Other chunks before the format, with odd lengths, are stepped over.
    auto listed = Write("Listed.wav", Riff(Chunk("LIST", "abc") + FormatChunk(1, 2, 44100, 8) + Chunk("data", Samples(10))));
    EXPECT_NE(listed.OpenAsSound(), nullptr);

    EXPECT_EQ(fw::FolderItem(m_folder.path().toStdString() + "/Missing.wav").OpenAsSound(), nullptr);
    EXPECT_EQ(fw::FolderItem(m_folder.path().toStdString()).OpenAsSound(), nullptr);
    const std::pair<const char*, std::string> bad[] = {
        { "empty", "" },
        { "text", "this is not a sound at all, just some words in a file" },
        { "not wave", "RIFF\x10\0\0\0AVI LIST\0\0\0\0" + std::string(8, '\0') },
        { "no data", Riff(FormatChunk()) },
        { "data before format", Riff(Chunk("data", Samples(10)) + FormatChunk()) },
        { "empty data", Riff(FormatChunk() + Chunk("data", "")) },
        { "cut in the header", Riff(FormatChunk()).substr(0, 20) },
        { "no channels", Riff(FormatChunk(1, 0) + Chunk("data", Samples(10))) },
        { "compressed", Riff(FormatChunk(2) + Chunk("data", Samples(10))) },
        { "odd bits", Riff(FormatChunk(1, 1, 8000, 12) + Chunk("data", Samples(10))) },
        // A chunk that claims to be huge ends the file.
        { "huge chunk", Riff(std::string("JUNK\xff\xff\xff\x7f", 8) + FormatChunk() + Chunk("data", Samples(10))) },
    };
    for (const auto& [name, bytes] : bad)
        EXPECT_EQ(Write(std::string(name) + ".wav", bytes).OpenAsSound(), nullptr) << name;
}

TEST_F(SoundDesktopTest, PlayingIsRecordedByTheSeamAndOtherwiseNeverFails)
{
    auto ping = Write("Ping.wav", Riff(FormatChunk() + Chunk("data", Samples(400)))).OpenAsSound();
    auto applause = Write("Applause.wav", Riff(FormatChunk() + Chunk("data", Samples(800)))).OpenAsSound();
    ASSERT_TRUE(ping && applause);
    std::vector<std::string> played;
    fw::Seams::SetSoundRecorder([&](const std::string& path) { played.push_back(path); });
    ping->Play();
    applause->Play();
    ping->Play();
    EXPECT_EQ(played, (std::vector<std::string> { ping->Path(), applause->Path(), ping->Path() }));

    // Without a recorder the sound goes to the player library (Qt Multimedia,
    // loaded on first use), which may have no audio device here: Play must
    // still return quietly, also for a file that has gone.
    auto player = fw::LoadPluginLibrary("tavrine_sound");
    EXPECT_EQ(player->Declarations().size(), 3u);
    fw::Seams::ResetSeams();
    ping->Play();
    applause->Play();
    std::remove(ping->Path().c_str());
    ping->Play();
    // Qt loads sounds on a thread of its own; let it finish before the
    // sounds go, as a game that keeps its sounds for the run always does.
    fw::Input::ProcessEvents(300);
    SUCCEED();
}

// The player library is loaded when the first sound plays. One that does not
// match the game, or is missing, is a broken installation: that play ends the
// game with a message naming the library, the way a missing picture library
// ends start-up, instead of leaving the game silent for good.
TEST_F(SoundDesktopTest, APlayerLibraryThatDoesNotMatchEndsTheGameWithAMessageNotSilence)
{
    auto ping = Write("Ping.wav", Riff(FormatChunk() + Chunk("data", Samples(400)))).OpenAsSound();
    ASSERT_TRUE(ping);
    std::vector<std::string> messages;
    fw::Seams::SetMessageBoxAnswer([&](const std::string& text) { messages.push_back(text); });
    fw::UseSoundLibraryForTests("tavrine_test_mismatch");
    fw::DispatchEvent("Window1.CountEm_Action", [&] { ping->Play(); });
    fw::UseSoundLibraryForTests("tavrine_no_such_player");
    EXPECT_THROW(ping->Play(), fw::PluginLoadException);
    fw::UseSoundLibraryForTests("tavrine_sound");
    const int code = fw::QuitCode();
    fw::RuntimeResetForTests();

    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("libtavrine_test_mismatch.so lacks the function \"Sound.Play(effect as ptr)\""),
        std::string::npos)
        << messages[0];
    EXPECT_EQ(code, 1);
}

TEST_F(SoundDesktopTest, LinksAndBeepsAreRecorded)
{
    std::vector<std::string> links;
    int beeps = 0;
    fw::Seams::SetURLRecorder([&](const std::string& url) { links.push_back(url); });
    fw::Seams::SetBeepRecorder([&] { ++beeps; });
    fw::ShowURL("http://www.example.com");
    fw::ShowURL("");
    fw::Beep();
    fw::Beep();
    // The recorder sees what the program asked for, empty addresses too.
    EXPECT_EQ(links, (std::vector<std::string> { "http://www.example.com", "" }));
    EXPECT_EQ(beeps, 2);
}

TEST_F(SoundDesktopTest, OnlyWebAndMailLinksReachTheDesktop)
{
    for (const char* url : { "http://www.example.com", "https://example.org/download/tavrine-1.4.dmg",
             "HTTP://EXAMPLE.COM/", "mailto:author@example.com" })
        EXPECT_TRUE(fw::IsOpenableURL(url)) << url;
    for (const char* url : { "", "file:///etc/passwd", "/usr/bin/xterm", "javascript:alert(1)", "http://",
             "smb://server/share", "mailto:", "tavrine.xml", "ftp://example.com/file" })
        EXPECT_FALSE(fw::IsOpenableURL(url)) << url;
}

// One test of a web address serves ShowURL and the program (the update
// window's download address), so whatever passes it is really opened.
TEST_F(SoundDesktopTest, OnlyAbsoluteWebAddressesPassAndAllOfThemAreOpened)
{
    for (const char* url : { "http://www.halvory.example/tavrine.dmg", "https://www.halvory.example",
             "HTTPS://WWW.HALVORY.EXAMPLE/a?b=c#d", "Http://host:8080/x", "http://user@host/",
             "http://[::1]:8080/x", "http://127.0.0.1/x", "http://host_name/",
             // Hosts written in Unicode: browsers open them, under the same
             // ASCII names the desktop is given.
             "http://\u00E9xample.com/", "https://\u4F8B\u5B50.\u6D4B\u8BD5/download",
             "http://\uFF45\uFF58\uFF41\uFF4D\uFF50\uFF4C\uFF45.com/" }) {
        EXPECT_TRUE(fw::IsWebURL(url)) << url;
        EXPECT_TRUE(fw::IsOpenableURL(url)) << url;
    }
    for (const char* url : { "", "file:///etc/passwd", "FILE:///Applications/Calculator.app",
             "javascript:alert(1)", "mailto:someone@example.com", "ftp://host/file", "tavrine.dmg",
             "/Updates/tavrine.dmg", "//host/path", "http:/host/path", "http://", "http:///path",
             "http://@/path", "http://:80/", "http://[]/", " http://host/", "http://host/ x",
             "http://host/\n", "http\t://host/", "http://ho\\st/", "http://a%40b/", "httpx://host/",
             "https:host", "http://evil\\@host/", "http://a:b:c/", "http://host:80x/", "http://host]:80/" }) {
        EXPECT_FALSE(fw::IsWebURL(url)) << url;
    }
}

TEST_F(SoundDesktopTest, DatesGiveTheirTimeAndDateInShortForms)
{
    fw::Date before;
    fw::Date after;
    EXPECT_LE(before.MillisecondsSinceEpoch(), after.MillisecondsSinceEpoch());
    EXPECT_FALSE(after.ShortTime().empty());
    EXPECT_FALSE(after.ShortDate().empty());
    EXPECT_NE(after.ShortTime(), after.ShortDate());
}

} // namespace
