#include "puzzle/PictureLoading.h"

#include "module/Globals.h"
#include "platform/Canvas.h"
#include "platform/Graphics.h"
#include "platform/Strings.h"
#include "puzzle/PicturePlugins.h"

void InitFileTypes()
{
    ImageJpegFileType = std::make_shared<fw::FileType>();
    ImageJpegFileType->SetName("image/jpeg");
    ImageJpegFileType->SetExtensions(".jfif;.jpe;.jpeg;.jpg");
    ImageJpegFileType->SetMacType("JPEG");
    ImageJpegFileType->SetMacCreator("prvw");
    // Converting to text registers the type; the name it gives is not needed.
    (void)ImageJpegFileType->ToText();
}

void LoadPictureOnto(fw::Canvas& board, fw::Canvas& answer)
{
    auto dialog = std::make_shared<fw::OpenDialog>();
    dialog->Filter = "image/jpeg";
    dialog->PromptText = "Select a jpg image to load.";
    dialog->Title = "Tavrine Image";
    auto file = dialog->ShowModal();
    if (!file)
        return;

    SourcePicture = OpenAsJPEGMBS(*file, true);
    if (!SourcePicture) {
        fw::MsgBox("No image selected!");
        return;
    }

    const int32_t h = SourcePicture->Height();
    const int32_t w = SourcePicture->Width();
    const int32_t m = h <= w ? h : w;
    PictureScale = 500.0 / double(m);
    const double answerScale = PictureScale / 2.5;

    auto boardPicture = fw::NewPicture(500, 500, 32);
    auto answerPicture = fw::NewPicture(200, 200, 32);

    // The conversion rounds to the nearest integer, so the quotient that comes
    // out a hair under m (m = 600 gives 599.9999999999999) still takes the
    // whole square and no edge row is lost.
    const int32_t s = fw::ToInt32(200.0 / answerScale);
    answerPicture->GetGraphics()->DrawPicture(SourcePicture, 0, 0, 200, 200, 0, 0, s, s);
    answer.SetBackdrop(answerPicture);

    const int32_t t = fw::ToInt32(500.0 / PictureScale);
    boardPicture->GetGraphics()->DrawPicture(SourcePicture, 0, 0, 500, 500, 0, 0, t, t);
    board.SetBackdrop(boardPicture);
}
