// Times ImageToGrid and GridToImage of the channel view for 200 filled
// channels in the real grid widget (offscreen unless a display is chosen),
// then the editing of many channels at once: paste 199 rows, undo it, redo
// it, sort 199 rows (20 rounds), and the memory 200 undo steps hold.
//   bench_grid [iterations]
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QUndoStack>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <vector>

#include "core/editor/CellEntry.h"
#include "core/radio/Document.h"
#include "gui/app/AppContext.h"
#include "gui/app/MessageBox.h"
#include "core/app/Globals.h"
#include "core/app/SettingsStore.h"
#include "gui/editor/ProgramView.h"
#include "core/radio/Image.h"
#include "gui/radio/ProgramDoc.h"

namespace {

void PutBcd(Image& image, int offset, long units)
{
    for (int i = 0; i < 4; ++i) {
        const int v = static_cast<int>(units % 100);
        image[offset + i] = static_cast<std::uint8_t>(16 * (v / 10) + v % 10);
        units /= 100;
    }
}

// 200 channels with frequencies, tones of every kind, flags and names;
// `variant` shifts every value so that each decode rewrites every cell.
Image FilledImage(int variant)
{
    Image image = NewDocumentImage();
    static const std::uint8_t tones[][2] = {{0x70, 0x06}, {0x41, 0x25}, {0x23, 0x80}, {0x54, 0xC7}, {0xFF, 0xFF}};
    for (int n = 0; n < 200; ++n) {
        const int base = 16 * n;
        const long rx = (n % 2 ? 43000000 : 14500000) + 1250L * n + 625L * variant;
        PutBcd(image, base, rx);
        PutBcd(image, base + 4, rx + 50000);
        image[base + 8] = tones[(n + variant) % 5][0];
        image[base + 9] = tones[(n + variant) % 5][1];
        image[base + 10] = tones[(n + variant + 2) % 5][0];
        image[base + 11] = tones[(n + variant + 2) % 5][1];
        image[base + 12] = static_cast<std::uint8_t>(0xC0 | ((n + variant) % 3) << 4 | ((n + variant) % 8) << 1);
        for (int i = 0; i < 6; ++i)
            image[mem::kNameBase + 8 * n + i] = static_cast<std::uint8_t>((n + i + variant) % 36);
    }
    return image;
}

struct Stats {
    double median, mean, max;
};

Stats Summarise(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms)
        sum += v;
    return {ms[ms.size() / 2], sum / static_cast<double>(ms.size()), ms.back()};
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int iterations = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;

    // Keep the bench away from the user's real settings.
    CMemorySettingsStore store;
    SetAppSettingsStore(&store);

    const Image images[2] = {FilledImage(0), FilledImage(1)};
    CProgramDoc doc;
    doc.LoadImage(images[0]);
    g_bNewDocument = false;
    CProgramView view(&doc);
    view.resize(900, 600);
    view.show();
    QApplication::processEvents();
    view.OnInitialUpdate();
    QApplication::processEvents();

    std::vector<double> decode, decodePaint, encode;
    QElapsedTimer timer;
    for (int i = 0; i < iterations; ++i) {
        doc.LoadImage(images[(i + 1) % 2]);
        timer.start();
        view.ImageToGrid();
        decode.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        view.Grid().viewport()->repaint();
        decodePaint.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);

        timer.start();
        view.GridToImage();
        encode.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        if (doc.GetImage() != images[(i + 1) % 2]) {
            std::fprintf(stderr, "GridToImage did not give back the decoded image\n");
            return 1;
        }
    }

    const Stats d = Summarise(decode), dp = Summarise(decodePaint), e = Summarise(encode);
    std::printf("200 filled channels, %d iterations (ms: median / mean / max)\n", iterations);
    std::printf("ImageToGrid            %7.3f / %7.3f / %7.3f\n", d.median, d.mean, d.max);
    std::printf("ImageToGrid + repaint  %7.3f / %7.3f / %7.3f\n", dp.median, dp.mean, dp.max);
    std::printf("GridToImage            %7.3f / %7.3f / %7.3f\n", e.median, e.mean, e.max);

    // Editing many channels: the clipboard holds 199 whole rows copied from
    // the other image, so every paste changes every row.
    int messages = 0;
    SetMessageHook([&messages](const MessageRequest&) {
        ++messages;
        return QMessageBox::Ok;
    });
    std::set<int> channelRows;
    std::vector<int> rowList;
    for (int row = 2; row < kGridRows; ++row) {
        channelRows.insert(row);
        rowList.push_back(row);
    }
    std::string rowsText[2];
    for (int k = 0; k < 2; ++k) {
        ChannelDocument source;
        source.Open(images[k], false);
        rowsText[k] = BlockToTsv(CopyBlock(source.grid, rowList, {1, 2, 3, 4, 5, 6, 7, 8, 9}, false));
    }
    const int rounds = 20;
    std::vector<double> paste, undo, redo, sort;
    // Each figure includes the repaint of the grid the user then sees.
    auto elapsed = [&timer, &view] {
        view.Grid().viewport()->repaint();
        return static_cast<double>(timer.nsecsElapsed()) / 1e6;
    };
    for (int i = 0; i < rounds; ++i) {
        QApplication::clipboard()->setText(QString::fromStdString(rowsText[i % 2]));
        view.Grid().SelectRows(channelRows);
        timer.start();
        view.OnEditPaste();
        paste.push_back(elapsed());
        ChannelDocument source;
        source.Open(images[i % 2], false);
        if (view.Grid().TextMatrix(200, kColName) != source.grid.TextMatrix(200, kColName)) {
            std::fprintf(stderr, "the paste did not reach the last row\n");
            return 1;
        }
        timer.start();
        doc.UndoStack()->undo();
        undo.push_back(elapsed());
        timer.start();
        doc.UndoStack()->redo();
        redo.push_back(elapsed());
        view.Grid().SelectRows(channelRows);
        timer.start();
        view.OnSortByRxFrequency();
        sort.push_back(elapsed());
    }
    const Stats p = Summarise(paste), u = Summarise(undo), r = Summarise(redo), so = Summarise(sort);
    std::printf("\nEditing 199 channels, %d rounds, each with its repaint (ms: median / mean / max)\n", rounds);
    std::printf("paste 199 rows         %7.3f / %7.3f / %7.3f\n", p.median, p.mean, p.max);
    std::printf("undo the paste         %7.3f / %7.3f / %7.3f\n", u.median, u.mean, u.max);
    std::printf("redo the paste         %7.3f / %7.3f / %7.3f\n", r.median, r.mean, r.max);
    std::printf("sort 199 rows by Rx    %7.3f / %7.3f / %7.3f\n", so.median, so.mean, so.max);

    // A full undo stack: every step changes every channel.
    for (int i = 0; doc.UndoStack()->count() < CProgramDoc::kUndoLimit || i < 2; ++i) {
        QApplication::clipboard()->setText(QString::fromStdString(rowsText[i % 2]));
        view.Grid().SelectRows(channelRows);
        view.OnEditPaste();
    }
    std::printf("%d undo steps hold     %7.1f KiB\n", doc.UndoStack()->count(),
                static_cast<double>(doc.UndoBytes()) / 1024.0);
    if (messages)
        std::printf("(%d messages were shown: some pasted cells were refused)\n", messages);
    SetMessageHook({});
    SetAppSettingsStore(nullptr);
    return 0;
}
