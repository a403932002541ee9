#include "messagetable.h"

#include <QHash>

namespace tovin {
namespace {

struct NumberedText {
    int number;
    const char *text;
};

constexpr NumberedText kTexts[] = {
    {16, "Image Location:"},
    {17, "Image List:"},
    {18, "Image Adjustments:"},
    {19, "Image Preview:"},
    {20, "Image Description:"},
    {21, "Width (%):"},
    {22, "Height (%):"},
    {23, "Bright:"},
    {24, "Contrast:"},
    {25, "Filter:"},
    {26, "Quality:"},
    {30, "&Scale.."},
    {40, "Are you sure you want to quit Tovin Image Scaler?"},
    {41, "Please Select a Folder."},
    {42, "Network Drive is not supported. Please copy files to a local drive first!"},
    {43, "Please enter a number."},
    {44, "Number must be between 1 and 200."},
    {45, "Number must be -100 and 100."},
    {46, "The Image Adjustments for this image have been ADDED to the Record List."},
    {47, "The Image Adjustments for this image have been UPDATED in the Record List."},
    {48,
     "Note: Any Image Adjustments you have made here do not affect your original image "
     "(your original image remains original)."},
    {49, "DELETE ALL Image Adjustments from the Record List?"},
    {50, "ALL Image Adjustments have been DELETED."},
    {51, "Nothing to delete (Record List is empty)."},
    {52, "CLEAR the Image Adjustments for this image?"},
    {53, "Nothing to clear (this image has not been adjusted before)."},
    {54, "The Image Adjustments for this image have been CLEARED."},
    {55, "Could not load database file. Application will be terminated!"},
    {70, "Save To:"},
    {71, "Save As:"},
    {72, "Options:"},
    {73, "&Generate"},
    {74, "&Cancel"},
    {75, "&Scale Only"},
    {76, "Scale && &Create Album Template"},
    {77, "&YES"},
    {78, "Create Album Template &Only"},
    {80, "is an unacceptable character."},
    {81, "Field is empty. Please try again."},
    {84, "is ALREADY EXISTED. Would you like to replace this file?"},
    {85,
     "Warning: If you click \"YES\", you wont be able to recover your old file. If you click "
     "\"Cancel\", the operation will be stopped and no files will be replaced."},
    {86, "Dont show this message again."},
    {87, "Could not create folder:"},
    {100,
     "Tovin Image Scaler is a light-weight image scaling tool. It prepares your photographs "
     "for the Sorvel web album: it scales them and adjusts their brightness and contrast in "
     "one batch, and writes the album's files for you; its output suits other album programs "
     "just as well.\n\nThe zoomable picture viewer is the Lensbox control; pixels are read, "
     "resampled and written through the FreeImage library."},
    {101, "&OK"},
    {110, "Confirm?"},
    {111, "Error!"},
    {112, "Info!"},
    {113, "About Tovin Image Scaler"},
    {114, "Large Preview"},
    {115, "Scale Image(s)"},
    {116, "Tovin Image Scaler"},
    {120, "Move the slide to the right of the screen."},
    {121, "Move the slide down to the bottom of the screen."},
    {122, "Pad the frame of the slide."},
    {127, "Set the frame transparency (0 = fully transparent, 100 = fully opaque)."},
    {128, "Move all thumbnails to the right of the screen."},
    {129, "Move all thumbnails down to the bottom of the screen."},
    {130, "Set the width of the thumbnail."},
    {131, "Set the height of the thumbnail."},
    {132, "Pad the frame of the thumbnail."},
    {133, "Number of rows to be printed."},
    {134, "Number of columns to be printed."},
    {135, "Set spacing between each thumbnail."},
    {136, "Move the Back button to the right of the screen."},
    {137, "Move the Back button down to the bottom of the screen."},
    {138, "Move the Next button to the right of the screen."},
    {139, "Move the Next button down to the bottom of the screen."},
    {140, "Set the width of the text description box."},
    {141, "Set the height of the text description box."},
    {145, "Bg. Color:"},
    {146, "Ln. Color:"},
    {147, "Alpha:"},
    {148, "Pad:"},
    {149, "Space:"},
    {150, "Back Button:"},
    {151, "Next Button:"},
    {152, "Caption Box:"},
    {153, "Row:"},
    {154, "Col:"},
    {155, "X:"},
    {156, "Y:"},
    {157, "W:"},
    {158, "H:"},
    {159, "To zoom in or out, right click in the preview box and choose zoom in or out."},
    {163, "Are you sure you want to remove this file from the Image List?"},
    {164,
     "Note: This process will not delete your file, it's only removing the file from the "
     "Image List."},
};

const QHash<int, QString> &table()
{
    static const QHash<int, QString> texts = [] {
        QHash<int, QString> built;
        for (const NumberedText &entry : kTexts)
            built.insert(entry.number, QString::fromUtf8(entry.text));
        return built;
    }();
    return texts;
}

} // namespace

QString message(int number)
{
    const auto found = table().constFind(number);
    Q_ASSERT_X(found != table().constEnd(), "message", "no text under this number");
    return found != table().constEnd() ? *found : QString();
}

} // namespace tovin
