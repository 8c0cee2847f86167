// Times ImageToGrid and GridToImage of the channel view for 200 filled
// channels in the real grid widget (offscreen unless a display is chosen).
//   bench_grid [iterations]
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "gui/app/AppContext.h"
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
    doc.m_image = images[0];
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
        doc.m_image = images[(i + 1) % 2];
        timer.start();
        view.ImageToGrid();
        decode.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        view.Grid().viewport()->repaint();
        decodePaint.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);

        timer.start();
        view.GridToImage();
        encode.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        if (doc.m_image != images[(i + 1) % 2]) {
            std::fprintf(stderr, "GridToImage did not give back the decoded image\n");
            return 1;
        }
    }

    const Stats d = Summarise(decode), dp = Summarise(decodePaint), e = Summarise(encode);
    std::printf("200 filled channels, %d iterations (ms: median / mean / max)\n", iterations);
    std::printf("ImageToGrid            %7.3f / %7.3f / %7.3f\n", d.median, d.mean, d.max);
    std::printf("ImageToGrid + repaint  %7.3f / %7.3f / %7.3f\n", dp.median, dp.mean, dp.max);
    std::printf("GridToImage            %7.3f / %7.3f / %7.3f\n", e.median, e.mean, e.max);
    SetAppSettingsStore(nullptr);
    return 0;
}
