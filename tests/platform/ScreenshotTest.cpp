// Screen capture: the application's windows as drawn, the rest white; left
// and top in points, width and height in device pixels.
#include <cstdlib>
#include <memory>
#include <string>

#include <QGuiApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScreen>

#include <gtest/gtest.h>

#include "PictureTestSupport.h"
#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/Picture.h"
#include "platform/Window.h"

using namespace picturetest;

namespace {

class ShotHost : public fw::Window {
public:
    std::string ClassName() const override { return "ScreenshotTest.ShotHost"; }
};

// A shown window at (left, top) with a 200 by 100 canvas at (20, 20) that
// shows a grid of 10-pixel cells.
struct ShownWindow {
    std::shared_ptr<ShotHost> window;
    std::shared_ptr<fw::Canvas> canvas;
    std::shared_ptr<fw::Picture> backdrop;

    ShownWindow(int left, int top, int cellOffset, bool painted = true)
    {
        window = std::make_shared<ShotHost>();
        window->Constructor();
        window->SetWidth(300);
        window->SetHeight(200);
        window->SetLeft(left);
        window->SetTop(top);
        canvas = window->New<fw::Canvas>();
        window->AddControl(canvas, "Canvas1");
        canvas->SetLeft(20);
        canvas->SetTop(20);
        canvas->SetWidth(200);
        canvas->SetHeight(100);
        std::vector<uint32_t> pixels(200 * 100);
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x)
                pixels[size_t(y) * 200 + size_t(x)] = CellColour(x / 10 + cellOffset, y / 10);
        backdrop = fw::PictureFromPixels(200, 100, pixels);
        canvas->SetBackdrop(backdrop);
        window->Show();
        if (painted)
            QCoreApplication::processEvents();
    }
    ~ShownWindow()
    {
        canvas.reset();
        window->Close();
        QCoreApplication::processEvents();
    }
};

class ScreenshotTest : public testing::Test {
protected:
    void SetUp() override { fw::RuntimeResetForTests(); }
    void TearDown() override { fw::RuntimeResetForTests(); }
};

double Ratio()
{
    return QGuiApplication::primaryScreen()->devicePixelRatio();
}

} // namespace

TEST_F(ScreenshotTest, CapturesTheWindowRegionAsDrawn)
{
    if (Ratio() != 1.0)
        GTEST_SKIP() << "runs at a device pixel ratio of 1";
    ShownWindow shown(100, 80, 0);
    ASSERT_EQ(shown.window->Left(), 100);
    ASSERT_EQ(shown.window->Top(), 80);

    // Through the picture library, as the game calls it.
    auto shot = fw::PictureFromPlugin(Library::Get().ScreenshotRectMBS(130, 105, 50, 40));
    ASSERT_TRUE(shot);
    ASSERT_EQ(shot->Width(), 50);
    ASSERT_EQ(shot->Height(), 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x)
            ASSERT_EQ(shot->Pixel(x, y), shown.backdrop->Pixel(x + 10, y + 5)) << x << "," << y;

    // Half over the left edge of the window: what lies outside is white.
    auto edge = fw::CaptureScreenRect(90, 100, 40, 10);
    ASSERT_TRUE(edge);
    EXPECT_EQ(edge->Pixel(0, 5), 0xFFFFFFFFu);
    EXPECT_EQ(edge->Pixel(9, 5), 0xFFFFFFFFu);
    EXPECT_EQ(edge->Pixel(39, 5), shown.backdrop->Pixel(9, 0));

    // Nowhere near a window, and an empty rectangle.
    auto nothing = fw::CaptureScreenRect(-5000, -5000, 8, 8);
    ASSERT_TRUE(nothing);
    EXPECT_EQ(nothing->Pixel(4, 4), 0xFFFFFFFFu);
    EXPECT_FALSE(fw::CaptureScreenRect(0, 0, 0, 10));
    EXPECT_FALSE(fw::PictureFromPlugin(Library::Get().ScreenshotRectMBS(0, 0, 10, -1)));

    // The whole content area, as GrabWindow gives it.
    auto grabbed = fw::GrabWindow(*shown.window);
    ASSERT_TRUE(grabbed);
    EXPECT_EQ(grabbed->Width(), 300);
    EXPECT_EQ(grabbed->Pixel(25, 25), shown.backdrop->Pixel(5, 5));
}

TEST_F(ScreenshotTest, ChangesWaitingToBePaintedShowBeforeTheNextCapture)
{
    if (Ratio() != 1.0)
        GTEST_SKIP() << "runs at a device pixel ratio of 1";
    ShownWindow shown(100, 80, 0);
    // (135, 112) is the canvas pixel (15, 12), a different colour in each
    // of the three pictures.
    auto capturePixel = [] {
        auto shot = fw::CaptureScreenRect(135, 112, 1, 1);
        return shot ? shot->Pixel(0, 0) : 0u;
    };
    auto second = GridPicture(200, 100, 7);
    auto third = GridPicture(200, 100, 3);
    ASSERT_NE(second->Pixel(15, 12), shown.backdrop->Pixel(15, 12));
    ASSERT_NE(third->Pixel(15, 12), second->Pixel(15, 12));
    ASSERT_EQ(capturePixel(), shown.backdrop->Pixel(15, 12));
    QCoreApplication::processEvents();
    shown.canvas->SetBackdrop(second);
    EXPECT_EQ(capturePixel(), second->Pixel(15, 12));
    // A run of captures with nothing delivered in between reads the screen
    // as the first one left it, as a real screen shows a handler's changes
    // only once it returns; the event loop then paints them.
    shown.canvas->SetBackdrop(third);
    EXPECT_EQ(capturePixel(), second->Pixel(15, 12));
    QCoreApplication::processEvents();
    EXPECT_EQ(capturePixel(), third->Pixel(15, 12));
}

TEST_F(ScreenshotTest, AWindowNotYetOnShowIsDrawnForTheCapture)
{
    if (Ratio() != 1.0)
        GTEST_SKIP() << "runs at a device pixel ratio of 1";
    // Shown, but the window system has not put it on screen yet: nothing
    // has been painted to read, so the capture draws the window itself.
    ShownWindow shown(100, 80, 0, false);
    auto shot = fw::CaptureScreenRect(130, 105, 50, 40);
    ASSERT_TRUE(shot);
    for (int y = 0; y < 40; y += 13)
        for (int x = 0; x < 50; x += 7)
            ASSERT_EQ(shot->Pixel(x, y), shown.backdrop->Pixel(x + 10, y + 5)) << x << "," << y;
}

TEST_F(ScreenshotTest, TheFrontWindowCoversTheOnesBehind)
{
    if (Ratio() != 1.0)
        GTEST_SKIP() << "runs at a device pixel ratio of 1";
    ShownWindow first(100, 80, 0);
    ShownWindow second(150, 90, 7);
    auto windows = fw::OpenWindows();
    ASSERT_GE(windows.size(), 2u);
    const bool secondInFront = windows.front() == second.window;
    // (180, 120) lies on both canvases: on the first at (60, 20), on the
    // second at (10, 10).
    auto shot = fw::CaptureScreenRect(180, 120, 1, 1);
    ASSERT_TRUE(shot);
    const uint32_t expected = secondInFront ? second.backdrop->Pixel(10, 10) : first.backdrop->Pixel(60, 20);
    EXPECT_EQ(shot->Pixel(0, 0), expected);
}

TEST_F(ScreenshotTest, DoubleDensityCaptureOfTwoHundredCoversOneTile)
{
    if (Ratio() == 1.0) {
        // Device pixel ratios are fixed when the application starts, so this
        // case runs again in a process of its own at a scale of 2.
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
            { QStringLiteral("--gtest_filter=ScreenshotTest.DoubleDensityCaptureOfTwoHundredCoversOneTile") });
        ASSERT_TRUE(child.waitForFinished(120000));
        const QString output = QString::fromLocal8Bit(child.readAll());
        EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
        return;
    }
    ASSERT_EQ(Ratio(), 2.0);
    ShownWindow shown(100, 80, 0);
    // The tile at (20, 20) of the window: 100 by 100 points, 200 by 200
    // device pixels.
    auto shot = fw::PictureFromPlugin(Library::Get().ScreenshotRectMBS(120, 100, 200, 200));
    ASSERT_TRUE(shot);
    ASSERT_EQ(shot->Width(), 200);
    ASSERT_EQ(shot->Height(), 200);
    // Each 10-point cell is 20 device pixels; compare the cells' middles.
    for (int row = 0; row < 10; ++row) {
        for (int column = 0; column < 10; ++column) {
            const uint32_t pixel = shot->Pixel(column * 20 + 10, row * 20 + 10);
            ASSERT_EQ(pixel, CellColour(column, row)) << column << "," << row << " is " << Hex(pixel);
        }
    }
}
