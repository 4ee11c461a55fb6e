// The help text shown in the help window and printed from it.
#include "windows/Help.h"

namespace {

const char* const Paragraphs[] = {
    "Tavrine is a picture puzzle made for both kids and adults. It looks simple, "
    "yet it is harder than you might expect, and many players find it surprisingly addicting.",

    "When Tavrine starts, it asks you to select a jpg image. The picture you choose "
    "is shown in the large window.",

    "If your screen is a Retina display, tick the \"Retina\" checkbox; on any other "
    "screen leave it clear.",

    "To play, click the \"Scramble\" button. The image is cut into 25 mini-images, "
    "which are scrambled, and also turned at random when \"Rotate\" is ticked. The small "
    "image at the right shows the answer. Your task is to turn the mini-images the right "
    "way up (when \"Rotate\" is ticked) and drag each one to its correct place. Hold the "
    "control key or the left cursor key while you double-click a mini-image to turn it "
    "counter-clockwise; hold the option key or the right cursor key to turn it clockwise. "
    "When a correctly turned mini-image is dragged close to its correct location it will "
    "shiver with excitement, and when you let the mouse up it snaps into place. The work "
    "scratch area at the right is a place to park mini-images out of the way for a while. "
    "The number of mini-images in their correct position is shown in a large font.",

    "A \"Ping\" sound plays each time a mini-image reaches its correct location, and "
    "applause plays when all of them are in place.",

    "When you have completed a puzzle, click \"New\" to choose a new image to load, "
    "scramble and solve.",

    "The location of the window and the state of the \"Rotate\" and \"Retina\" checkboxes "
    "are saved from one run to the next.",

    "The application icon was drawn for Tavrine by its own developer and may be used "
    "with the game.",
};

std::string Joined()
{
    std::string text;
    for (const char* paragraph : Paragraphs) {
        if (!text.empty())
            text += "\r\r";
        text += paragraph;
    }
    return text;
}

} // namespace

const std::string& HelpText()
{
    static const std::string text = Joined();
    return text;
}
