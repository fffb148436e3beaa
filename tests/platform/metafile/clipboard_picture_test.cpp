#include "clipboard_picture.h"
#include "metafile_recorder.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>

#include <gtest/gtest.h>

namespace kalvo::test {
namespace {

TEST(ClipboardPicture, OffersEmfWmfAndPngOfThePicture) {
    MetafileRecorder picture(120, 80);
    {
        QPainter p(&picture);
        p.setBrush(Qt::blue);
        p.drawEllipse(10, 10, 100, 60);
    }
    ASSERT_TRUE(CopyPictureToClipboard(picture));
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->data(kEmfMimeType).toStdString(), picture.toEmf());
    EXPECT_EQ(data->data(kWmfMimeType).toStdString(), picture.toWmf());
    QImage png;
    ASSERT_TRUE(png.loadFromData(data->data(kPngMimeType), "PNG"));
    EXPECT_EQ(png.size(), QSize(120, 80));
    EXPECT_EQ(png.pixelColor(60, 40), QColor(Qt::blue));
    EXPECT_TRUE(data->hasImage());
}

TEST(ClipboardPicture, TablesAreTabSeparatedWithCrLfAfterEveryLine) {
    const QString text = TableClipboardText("Wertetabelle:  f(x) = x^2",
                                            {{"    x", "   f(x)"}, {" -1,0", "  1,0"}, {"  0,5", " nicht def."}});
    EXPECT_EQ(text, "Wertetabelle:  f(x) = x^2\r\n\r\n    x\t   f(x)\r\n -1,0\t  1,0\r\n  0,5\t nicht def.\r\n");
    EXPECT_EQ(text.count("\r\n"), 5);
    ASSERT_TRUE(CopyTextToClipboard(text));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), text);
}

}  // namespace
}  // namespace kalvo::test
