// The main window's diagram export: the size dialog, the board on the clipboard and in a GIF file
// that giflib and Qt read back, cancelling, and a failed write that leaves the old file alone.

#include "app/core/diagram_export.h"
#include "app/ui/exp_diagram.h"
#include "app/ui/forms.h"
#include "gif/qt/gif_qimage.h"
#include "main_window_fixture.h"
#include "tests/gif/giflib_reader.h"
#include "tests/support/temp_dir.h"

#include <QAction>
#include <QClipboard>
#include <QImageReader>
#include <QPushButton>
#include <QSpinBox>

#include <fstream>

namespace {
using Bytes = std::vector<std::uint8_t>;

// Answers the size dialog once a command shows it: OK at the given size, or Escape.
void AnswerSizeDialog(TExpDiagram* dialog, std::optional<int> size) {
    QTimer::singleShot(0, [dialog, size] {
        if (size) {
            dialog->Size->setValue(*size);
            dialog->Button1->click();
        } else {
            dialog->reject();
        }
    });
}

Bytes FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Mean difference per channel between a decoded diagram and the resampled board.
double MeanError(const QImage& decoded, const TBitmap& diagram) {
    double sum = 0;
    for (int y = 0; y < diagram.Height(); ++y)
        for (int x = 0; x < diagram.Width(); ++x) {
            const QRgb got = decoded.pixel(x, y);
            const TColor want = diagram.PixelColor(x, y);
            sum += std::abs(qRed(got) - RedOf(want)) + std::abs(qGreen(got) - GreenOf(want)) +
                   std::abs(qBlue(got) - BlueOf(want));
        }
    return sum / (3.0 * diagram.Width() * diagram.Height());
}

class MainFormDiagramTest : public TMainWindowFixture {};
} // namespace

TEST_F(MainFormDiagramTest, SizeDialog) {
    TMainForm* f = Start(false);
    EXPECT_TRUE(f->Item("N15")->isEnabled());
    EXPECT_TRUE(f->Item("ExportGif")->isEnabled());
    QSpinBox* size = form->ExpDiagram()->Size;
    EXPECT_EQ(form->ExpDiagram()->windowTitle(), "Export diagram");
    EXPECT_EQ(size->value(), 220);
    size->setValue(50);
    EXPECT_EQ(size->value(), 110);
    size->setValue(2000);
    EXPECT_EQ(size->value(), 880);
    // The last size is kept for the next export of the run.
    AnswerSizeDialog(form->ExpDiagram(), 300);
    f->N15Click();
    EXPECT_EQ(form->ExpDiagram()->Size->value(), 300);
    EXPECT_EQ(f->CopyBoard.Width(), 300);
}

TEST_F(MainFormDiagramTest, DiagramToTheClipboard) {
    TMainForm* f = Start(false);
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText("before");
    AnswerSizeDialog(form->ExpDiagram(), std::nullopt);
    f->N15Click();
    EXPECT_EQ(clipboard->text(), "before") << "cancel does nothing";

    AnswerSizeDialog(form->ExpDiagram(), 220);
    f->N15Click();
    const QImage pasted = clipboard->image();
    ASSERT_EQ(pasted.size(), QSize(220, 220));
    const TBitmap expected = MakeDiagram(BitmapFromQImage(f->BoardPicture().Image()), 220);
    EXPECT_EQ(pasted.convertToFormat(QImage::Format_RGB888), QImageFromBitmap(expected));
}

TEST_F(MainFormDiagramTest, DiagramToAGifFileReadBackByGiflibAndQt) {
    TMainForm* f = Start(false);
    const TBitmap board = BitmapFromQImage(f->BoardPicture().Image());
    for (int n : {110, 220, 880}) {
        SCOPED_TRACE(n);
        // The chosen name's extension gives way to ".gif".
        prompts.saveFile = QString::fromStdString(Dir() + "/diagram" + std::to_string(n) + ".png");
        AnswerSizeDialog(form->ExpDiagram(), n);
        f->ExportGifClick();
        EXPECT_EQ(prompts.savedWith.value(0), "Export diagram to *.GIF");
        const std::string path = Dir() + "/diagram" + std::to_string(n) + ".gif";
        ASSERT_TRUE(std::filesystem::exists(path));
        EXPECT_FALSE(std::filesystem::exists(Dir() + "/diagram" + std::to_string(n) + ".png"));
        const TBitmap diagram = MakeDiagram(board, n);

        const TDecodedGIF gif = DecodeWithGiflib(FileBytes(path));
        ASSERT_TRUE(gif.Ok) << gif.Error;
        ASSERT_EQ(gif.Width, n);
        ASSERT_EQ(gif.Height, n);
        ASSERT_EQ(gif.Frames.size(), 1u);
        QImage fromGiflib(n, n, QImage::Format_RGB32);
        const TDecodedFrame& frame = gif.Frames[0];
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                const std::size_t i = 3u * frame.Pixels[static_cast<std::size_t>(y * n + x)];
                fromGiflib.setPixel(x, y,
                                    qRgb(frame.ColorMap[i], frame.ColorMap[i + 1], frame.ColorMap[i + 2]));
            }
        EXPECT_LT(MeanError(fromGiflib, diagram), 6.0);

        QImageReader reader(QString::fromStdString(path), "gif");
        const QImage fromQt = reader.read();
        ASSERT_EQ(fromQt.size(), QSize(n, n));
        EXPECT_EQ(fromQt.convertToFormat(QImage::Format_RGB32), fromGiflib);
    }
}

TEST_F(MainFormDiagramTest, CancelWritesNothing) {
    TMainForm* f = Start(false);
    prompts.saveFile = QString::fromStdString(Dir() + "/never.gif");
    AnswerSizeDialog(form->ExpDiagram(), std::nullopt);
    f->ExportGifClick();
    EXPECT_TRUE(prompts.savedWith.isEmpty()) << "no file dialog after a cancelled size";
    prompts.saveFile.reset();
    AnswerSizeDialog(form->ExpDiagram(), 150);
    f->ExportGifClick();
    EXPECT_FALSE(prompts.savedWith.isEmpty());
    EXPECT_FALSE(std::filesystem::exists(Dir() + "/never.gif"));
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(MainFormDiagramTest, FailedWriteLeavesTheOldFileAndSaysWhy) {
    TMainForm* f = Start(false);
    const std::string path = Dir() + "/old.gif";
    std::ofstream(path) << "the old diagram";
    prompts.saveFile = QString::fromStdString(path);

    {
        // The write of the new file fails half-way.
        const test_support::TFileSizeLimit limit(100);
        AnswerSizeDialog(form->ExpDiagram(), 220);
        f->ExportGifClick();
    }

    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains("old.gif")) << prompts.messages[0].toStdString();
    EXPECT_EQ(FileBytes(path),
              Bytes({'t', 'h', 'e', ' ', 'o', 'l', 'd', ' ', 'd', 'i', 'a', 'g', 'r', 'a', 'm'}));
    for (const auto& e : std::filesystem::directory_iterator(Dir())) {
        const std::string name = e.path().filename().string();
        EXPECT_TRUE(name == "old.gif" || name == "tavrix.ini") << name << ": no temporary file is left";
    }

    // Without the limit the same export replaces it.
    AnswerSizeDialog(form->ExpDiagram(), 220);
    f->ExportGifClick();
    EXPECT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(DecodeWithGiflib(FileBytes(path)).Width, 220);
}
