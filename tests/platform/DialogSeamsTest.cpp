// File types, the open-file dialog, message boxes and message dialogs, both
// answered through the seams and shown for real under the offscreen platform.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>

#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Seams.h"
#include "platform/qt/LazyStandardIcons.h"

namespace {

// How long a test waits for a dialog to come up, and for an answered one to
// go away; past that the test fails and the dialog is closed, so the code
// that showed it returns.
constexpr qint64 ModalLimitMilliseconds = 20000;

// The polls of WhenModal, each with whether its dialog came up.
struct ModalPoll {
    QPointer<QTimer> Timer;
    std::shared_ptr<QElapsedTimer> SinceAnswered;
};

std::vector<ModalPoll>& Polls()
{
    static std::vector<ModalPoll> polls;
    return polls;
}

class DialogSeamsTest : public testing::Test {
protected:
    void SetUp() override { fw::Seams::ResetSeams(); }
    void TearDown() override
    {
        for (const auto& poll : Polls()) {
            if (!poll.SinceAnswered->isValid())
                ADD_FAILURE() << "a dialog the test waited for never came up";
            if (poll.Timer) {
                poll.Timer->stop();
                poll.Timer->deleteLater();
            }
        }
        Polls().clear();
        fw::Seams::ResetSeams();
    }
};

std::shared_ptr<fw::FileType> JpegType()
{
    auto type = std::make_shared<fw::FileType>();
    type->SetName("image/jpeg");
    type->SetExtensions(".jfif;.jpe;.jpeg;.jpg");
    type->SetMacType("JPEG");
    type->SetMacCreator("prvw");
    return type;
}

// Runs `inspect` on the modal widget once it is up; `inspect` answers it.
// A dialog still open long after that (an answer that did not take, or an
// assertion that left `inspect` early) fails the test and is closed.
void WhenModal(std::function<void(QWidget*)> inspect)
{
    // A polling timer rather than a self-rescheduling function: the latter
    // would hold itself alive for ever.
    auto* poll = new QTimer(qApp);
    auto answered = std::make_shared<QPointer<QWidget>>();
    auto since = std::make_shared<QElapsedTimer>();
    Polls().push_back({ poll, since });
    QObject::connect(poll, &QTimer::timeout, poll, [poll, inspect, answered, since] {
        if (!since->isValid()) {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            *answered = modal;
            since->start();
            inspect(modal);
            return;
        }
        QWidget* dialog = answered->data();
        if (dialog && dialog->isVisible() && since->elapsed() < ModalLimitMilliseconds)
            return;
        poll->stop();
        poll->deleteLater();
        if (dialog && dialog->isVisible()) {
            ADD_FAILURE() << "the dialog \"" << dialog->windowTitle().toStdString() << "\" was still open "
                          << ModalLimitMilliseconds / 1000 << " s after it was answered";
            if (auto* box = qobject_cast<QDialog*>(dialog))
                box->reject();
            else
                dialog->close();
        }
    });
    poll->start(10);
}

TEST_F(DialogSeamsTest, FileTypesMatchExtensionsIgnoringCase)
{
    auto type = JpegType();
    for (const char* name : { "photo.jpg", "PHOTO.JPG", "a.Jpeg", "x.jfif", "y.JPE", "dots.in.name.jpg" })
        EXPECT_TRUE(type->Matches(name)) << name;
    for (const char* name : { "photo.png", "jpg", ".jpg", "photo.jpg.txt", "photojpg", "" })
        EXPECT_FALSE(type->Matches(name)) << name;

    auto loose = std::make_shared<fw::FileType>();
    loose->SetExtensions(" png ; .GIF;;");
    EXPECT_TRUE(loose->Matches("a.png"));
    EXPECT_TRUE(loose->Matches("a.gif"));
    EXPECT_FALSE(loose->Matches("a.jpg"));
}

TEST_F(DialogSeamsTest, ConvertingAFileTypeToTextRegistersIt)
{
    auto type = JpegType();
    type->SetName("image/x-test-registered");
    EXPECT_EQ(fw::FindFileType("image/x-test-registered"), nullptr);
    EXPECT_EQ(type->ToText(), "image/x-test-registered");
    EXPECT_EQ(fw::FindFileType("image/x-test-registered"), type);
    EXPECT_EQ(fw::FindFileType("IMAGE/X-Test-Registered"), type);
    EXPECT_EQ(type->ToText(), "image/x-test-registered");
    EXPECT_EQ(fw::FindFileType("image/x-unknown"), nullptr);

    // A type made on the stack is kept as a copy.
    fw::FileType local;
    local.SetName("text/x-local");
    local.SetExtensions(".tx");
    EXPECT_EQ(local.ToText(), "text/x-local");
    ASSERT_NE(fw::FindFileType("text/x-local"), nullptr);
    EXPECT_TRUE(fw::FindFileType("text/x-local")->Matches("a.TX"));
}

TEST_F(DialogSeamsTest, AnsweredDialogsSeeTheirSettingsAndCountAsModal)
{
    EXPECT_EQ(fw::ModalDepth(), 0);
    std::vector<std::string> seen;
    fw::Seams::SetOpenDialogAnswer([&](const fw::OpenDialog& dialog) {
        seen.push_back(dialog.Title + "|" + dialog.PromptText + "|" + dialog.Filter);
        EXPECT_EQ(fw::ModalDepth(), 1);
        return std::make_shared<fw::FolderItem>("/tmp/chosen.jpg");
    });
    fw::OpenDialog dialog;
    dialog.Filter = "image/jpeg";
    dialog.PromptText = "Select a jpg image to load.";
    dialog.Title = "Tavrine Image";
    auto chosen = dialog.ShowModal();
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen->NativePath(), "/tmp/chosen.jpg");
    EXPECT_EQ(seen, std::vector<std::string> { "Tavrine Image|Select a jpg image to load.|image/jpeg" });
    EXPECT_EQ(fw::ModalDepth(), 0);

    fw::Seams::SetOpenDialogAnswer([](const fw::OpenDialog&) { return nullptr; });
    EXPECT_EQ(dialog.ShowModal(), nullptr);

    // A message box raised while a dialog is answered nests.
    std::vector<std::pair<std::string, int>> boxes;
    fw::Seams::SetMessageBoxAnswer([&](const std::string& text) { boxes.emplace_back(text, fw::ModalDepth()); });
    fw::Seams::SetMessageDialogAnswer([&](const fw::MessageDialog& d) {
        fw::MsgBox("inside");
        return d.AlternateActionButton;
    });
    fw::MsgBox("No image selected!");
    fw::MessageDialog offer;
    EXPECT_EQ(offer.ShowModal(), offer.AlternateActionButton);
    EXPECT_EQ(boxes, (std::vector<std::pair<std::string, int>> { { "No image selected!", 1 }, { "inside", 2 } }));
    EXPECT_EQ(fw::ModalDepth(), 0);
}

TEST_F(DialogSeamsTest, MessageDialogButtonsStartAsTheFrameworkMakesThem)
{
    fw::MessageDialog dialog;
    ASSERT_TRUE(dialog.ActionButton && dialog.CancelButton && dialog.AlternateActionButton);
    EXPECT_EQ(dialog.ActionButton->Caption, "OK");
    EXPECT_TRUE(dialog.ActionButton->Visible);
    EXPECT_EQ(dialog.CancelButton->Caption, "Cancel");
    EXPECT_FALSE(dialog.CancelButton->Visible);
    EXPECT_EQ(dialog.AlternateActionButton->Caption, "");
    EXPECT_FALSE(dialog.AlternateActionButton->Visible);
    EXPECT_NE(dialog.ActionButton, dialog.CancelButton);

    // An answer that presses nothing counts as closing the dialog.
    fw::Seams::SetMessageDialogAnswer([](const fw::MessageDialog&) { return nullptr; });
    EXPECT_EQ(dialog.ShowModal(), dialog.CancelButton);
}

TEST_F(DialogSeamsTest, ResetSeamsClearsEveryAnswerAndRecorder)
{
    fw::Seams::SetOpenDialogAnswer([](const fw::OpenDialog&) { return nullptr; });
    fw::Seams::SetMessageBoxAnswer([](const std::string&) {});
    fw::Seams::SetMessageDialogAnswer([](const fw::MessageDialog& d) { return d.ActionButton; });
    fw::Seams::SetPrinterDialogAnswer([] { return std::string(); });
    fw::Seams::SetSoundRecorder([](const std::string&) {});
    fw::Seams::SetURLRecorder([](const std::string&) {});
    fw::Seams::SetBeepRecorder([] {});
    fw::Seams::ResetSeams();
    EXPECT_FALSE(fw::Seams::GetOpenDialogAnswer());
    EXPECT_FALSE(fw::Seams::GetMessageBoxAnswer());
    EXPECT_FALSE(fw::Seams::GetMessageDialogAnswer());
    EXPECT_FALSE(fw::Seams::GetPrinterDialogAnswer());
    EXPECT_FALSE(fw::Seams::GetSoundRecorder());
    EXPECT_FALSE(fw::Seams::GetURLRecorder());
    EXPECT_FALSE(fw::Seams::GetBeepRecorder());
}

TEST_F(DialogSeamsTest, TheRealMessageDialogShowsItsSettingsAndReportsTheButton)
{
    fw::MessageDialog dialog;
    dialog.Title = "Update";
    dialog.Message = "Version 1.4.0 is available.";
    dialog.Explanation = "<b>not bold</b>";
    dialog.Icon = 3;
    dialog.CancelButton->Visible = true;
    dialog.AlternateActionButton->Caption = "Go to Website";
    dialog.AlternateActionButton->Visible = true;

    int depth = -1;
    WhenModal([&](QWidget* modal) {
        depth = fw::ModalDepth();
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), "Update");
        EXPECT_EQ(box->text(), "Version 1.4.0 is available.");
        EXPECT_EQ(box->informativeText(), "<b>not bold</b>");
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        // Texts from the network are never taken as markup.
        for (QLabel* label : box->findChildren<QLabel*>())
            EXPECT_EQ(label->textFormat(), Qt::PlainText);
        QStringList captions;
        QAbstractButton* website = nullptr;
        for (QAbstractButton* button : box->buttons()) {
            captions << button->text();
            if (button->text() == "Go to Website")
                website = button;
        }
        captions.sort();
        EXPECT_EQ(captions, QStringList({ "Cancel", "Go to Website", "OK" }));
        ASSERT_NE(website, nullptr);
        website->click();
    });
    EXPECT_EQ(dialog.ShowModal(), dialog.AlternateActionButton);
    EXPECT_EQ(depth, 1);

    // Closing the box (Escape) is the cancel button.
    WhenModal([](QWidget* modal) { qobject_cast<QMessageBox*>(modal)->reject(); });
    EXPECT_EQ(dialog.ShowModal(), dialog.CancelButton);
}

TEST_F(DialogSeamsTest, TheRealMessageBoxShowsPlainText)
{
    QString shown;
    WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        shown = box->text();
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        box->accept();
    });
    fw::MsgBox("Start: 0 Length: 0");
    EXPECT_EQ(shown, "Start: 0 Length: 0");
    EXPECT_EQ(fw::ModalDepth(), 0);
}

TEST_F(DialogSeamsTest, TheRealOpenDialogOffersTheTypesFilesAndReturnsTheChoice)
{
    JpegType()->ToText();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString chosen = QDir(folder.path()).filePath("CAMERA.JPG");
    {
        QFile file(chosen);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    fw::OpenDialog dialog;
    dialog.Filter = "image/jpeg";
    dialog.PromptText = "Select a jpg image to load.";
    dialog.Title = "Tavrine Image";
    bool sawPrompt = false;
    WhenModal([&](QWidget* modal) {
        auto* files = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(files, nullptr);
        EXPECT_EQ(files->windowTitle(), "Tavrine Image");
        EXPECT_EQ(fw::ModalDepth(), 1);
        for (QLabel* label : files->findChildren<QLabel*>())
            sawPrompt = sawPrompt || label->text() == "Select a jpg image to load.";
        // The types' filter, which ignores case, sits between the files and
        // the view.
        EXPECT_NE(files->proxyModel(), nullptr);
        files->setDirectory(folder.path());
        // The dialog puts the focus in its name field when it opens, and Qt's
        // selectFile leaves that field alone while it has the focus (the
        // player may be typing there); whether the dialog is already active
        // by now depends on timing. Choose the file as a click in the list
        // does, with the focus out of the name field, so the choice counts.
        if (QWidget* focus = files->focusWidget())
            focus->clearFocus();
        files->selectFile(chosen);
        QMetaObject::invokeMethod(files, "accept");
    });
    auto result = dialog.ShowModal();
    EXPECT_TRUE(sawPrompt);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->NativePath(), chosen.toStdString());

    WhenModal([](QWidget* modal) { qobject_cast<QFileDialog*>(modal)->reject(); });
    EXPECT_EQ(dialog.ShowModal(), nullptr);
}

} // namespace

namespace {

// The icon painted centred on a transparent square of `side` pixels, in an
// image of `scale` device pixels to the pixel.
QImage Drawn(const QIcon& icon, int side, QIcon::Mode mode = QIcon::Normal, QIcon::State state = QIcon::Off,
    qreal scale = 1)
{
    QImage image(int(side * scale), int(side * scale), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    icon.paint(&painter, QRect(0, 0, side, side), Qt::AlignCenter, mode, state);
    return image;
}

} // namespace

// The dialogs' standard icons are made only when first needed, once per kind,
// and are then the very icons the style itself gives; the icons taken as never
// null without being made are indeed never null.
TEST_F(DialogSeamsTest, StandardIconsAreTheStylesOwnWhenDrawn)
{
    auto* installed = qobject_cast<QProxyStyle*>(QApplication::style());
    ASSERT_NE(installed, nullptr);
    QStyle* own = QStyleFactory::create(installed->baseStyle()->name());
    ASSERT_NE(own, nullptr);
    for (int which = 0; which <= int(QStyle::SP_LineEditClearButton); ++which) {
        const auto pixmap = QStyle::StandardPixmap(which);
        const QIcon expected = own->standardIcon(pixmap);
        const QIcon lazy = QApplication::style()->standardIcon(pixmap);
        if (fw::IsAlwaysProvidedStandardIcon(pixmap)) {
            EXPECT_FALSE(expected.isNull()) << "standard pixmap " << which;
        }
        ASSERT_EQ(lazy.isNull(), expected.isNull()) << "standard pixmap " << which;
        if (expected.isNull())
            continue;
        for (int side : { 16, 32 }) {
            EXPECT_EQ(lazy.actualSize(QSize(side, side)), expected.actualSize(QSize(side, side))) << which;
            EXPECT_EQ(Drawn(lazy, side), Drawn(expected, side)) << "standard pixmap " << which << " at " << side;
        }
        EXPECT_EQ(lazy.availableSizes(), expected.availableSizes()) << "standard pixmap " << which;
    }
    delete own;
}

namespace {

void WritePng(const QString& path, int side, const QColor& colour)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(path, "PNG")) << path.toStdString();
}

QColor Centre(const QIcon& icon, int side)
{
    return Drawn(icon, side).pixelColor(side / 2, side / 2);
}

} // namespace

// An icon given PNG files reads each one only when a size that needs it is
// drawn, and then draws, sizes and lists exactly what Qt's own engine does
// with the same images, in every mode and state. A file that is no image adds
// nothing, as with Qt's engine.
TEST_F(DialogSeamsTest, IconFilesAreReadWhenTheirSizeIsDrawnAndDrawAsQtsOwn)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString small = dir.filePath("icon-16.png");
    const QString middle = dir.filePath("icon-32.png");
    const QString large = dir.filePath("icon-128.png");
    const QString on = dir.filePath("icon-on-32.png");
    WritePng(small, 16, Qt::red);
    WritePng(middle, 32, Qt::green);
    WritePng(large, 128, Qt::blue);
    WritePng(on, 32, Qt::cyan);

    QIcon lazy;
    lazy.addFile(small, QSize(16, 16));
    lazy.addFile(middle, QSize(32, 32));
    lazy.addFile(large, QSize(128, 128));
    EXPECT_EQ(Centre(lazy, 16), QColor(Qt::red));
    // Changed after the icon was made: the sizes not drawn yet were not read.
    WritePng(small, 16, Qt::black);
    WritePng(middle, 32, Qt::magenta);
    WritePng(large, 128, Qt::yellow);
    EXPECT_EQ(Centre(lazy, 16), QColor(Qt::red));
    EXPECT_EQ(Centre(lazy, 20), QColor(Qt::magenta));
    EXPECT_EQ(Centre(lazy, 128), QColor(Qt::yellow));

    QIcon icon;
    QIcon own;
    QIcon sharp;
    for (const auto& [file, side, mode, state] : { std::tuple { small, 16, QIcon::Normal, QIcon::Off },
             std::tuple { middle, 32, QIcon::Normal, QIcon::Off }, std::tuple { large, 128, QIcon::Normal, QIcon::Off },
             std::tuple { on, 32, QIcon::Normal, QIcon::On } }) {
        icon.addFile(file, QSize(side, side), mode, state);
        own.addPixmap(QPixmap(file), mode, state);
        sharp.addFile(file, QSize(side, side), mode, state);
    }
    // On a screen of two device pixels to the pixel the larger image is read.
    EXPECT_EQ(Drawn(sharp, 16, QIcon::Normal, QIcon::Off, 2), Drawn(own, 16, QIcon::Normal, QIcon::Off, 2));
    for (QIcon::State state : { QIcon::Off, QIcon::On }) {
        for (QIcon::Mode mode : { QIcon::Normal, QIcon::Disabled, QIcon::Active, QIcon::Selected }) {
            for (int side : { 8, 16, 20, 32, 40, 64, 128, 200 }) {
                const QSize size(side, side);
                const std::string what = "mode " + std::to_string(mode) + ", state " + std::to_string(state) + ", side "
                    + std::to_string(side);
                EXPECT_EQ(icon.actualSize(size, mode, state), own.actualSize(size, mode, state)) << what;
                EXPECT_EQ(icon.pixmap(size, mode, state).toImage(), own.pixmap(size, mode, state).toImage()) << what;
                EXPECT_EQ(Drawn(icon, side, mode, state), Drawn(own, side, mode, state)) << what;
            }
            EXPECT_EQ(icon.availableSizes(mode, state), own.availableSizes(mode, state));
        }
    }

    const QString notAnImage = dir.filePath("text.png");
    QFile text(notAnImage);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not an image");
    text.close();
    QIcon broken;
    broken.addFile(notAnImage, QSize(16, 16));
    broken.addFile(dir.filePath("missing.png"), QSize(16, 16));
    EXPECT_TRUE(broken.isNull());
}

// With no icon theme of the desktop's, the standard icons are Qt's own and no
// theme is searched, not even the fallback one; a desktop's theme that has
// them gives them.
TEST_F(DialogSeamsTest, StandardIconsComeFromADesktopsThemeOnly)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const QString& theme : { QStringLiteral("hicolor"), QStringLiteral("desktop") }) {
        ASSERT_TRUE(QDir(dir.path()).mkpath(theme + "/16x16/actions"));
        QFile index(dir.filePath(theme + "/index.theme"));
        ASSERT_TRUE(index.open(QIODevice::WriteOnly));
        index.write("[Icon Theme]\nName=" + theme.toUtf8()
            + "\nDirectories=16x16/actions\n\n[16x16/actions]\nSize=16\nContext=Actions\nType=Fixed\n");
        index.close();
        WritePng(dir.filePath(theme + "/16x16/actions/go-previous.png"), 16, Qt::red);
    }
    const QStringList searched = QIcon::themeSearchPaths();
    const QString fallback = QIcon::fallbackThemeName();
    QIcon::setFallbackThemeName(QStringLiteral("hicolor"));
    auto arrow = [] {
        std::unique_ptr<QStyle> style(QStyleFactory::create(QStringLiteral("Fusion")));
        return Centre(style->standardIcon(QStyle::SP_ArrowBack), 16);
    };

    QIcon::setThemeSearchPaths({ dir.path() });
    QIcon::setThemeName(QStringLiteral("hicolor"));
    fw::SkipFallbackOnlyIconTheme();
    EXPECT_NE(arrow(), QColor(Qt::red));

    QIcon::setThemeSearchPaths({ dir.path() });
    QIcon::setThemeName(QStringLiteral("desktop"));
    fw::SkipFallbackOnlyIconTheme();
    EXPECT_EQ(arrow(), QColor(Qt::red));

    QIcon::setThemeName(QString());
    QIcon::setFallbackThemeName(fallback);
    QIcon::setThemeSearchPaths(searched);
}
