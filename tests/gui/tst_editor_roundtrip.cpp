// A file holding every kind of channel record is opened, every cell is
// visited with Enter without typing, and the file is saved again: every byte
// comes back as it was read, odd nibbles and stray codes included.
#include <QtTest>

#include "tests/gui/tst_editor_util.h"

namespace {

struct Channel {
    int n;
    RecordFields fields;
};

RecordFields Rec(long rx, long tx, std::uint8_t rl, std::uint8_t rh, std::uint8_t tl, std::uint8_t th,
                 std::uint8_t flags, std::initializer_list<std::uint8_t> name = {},
                 std::initializer_list<std::uint8_t> tail = {0xFF, 0xFF, 0xFF})
{
    RecordFields s;
    s.rx = rx;
    s.tx = tx;
    s.rxToneL = rl;
    s.rxToneH = rh;
    s.txToneL = tl;
    s.txToneH = th;
    s.flags = flags;
    int i = 0;
    for (std::uint8_t b : name)
        s.name[i++] = b;
    i = 0;
    for (std::uint8_t b : tail)
        s.tail[i++] = b;
    return s;
}

// Bytes no step of the editor interprets carry a pattern that must survive.
void FillPattern(Image& image)
{
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>((i * 7 + 3) & 0xFF);
}

}  // namespace

class TestEditorRoundTrip : public QObject {
    Q_OBJECT
private slots:
    void visitEveryCellAndSave();
};

void TestEditorRoundTrip::visitEveryCellAndSave()
{
    EditorEnv env;
    Image image;
    FillPattern(image);
    RecordFields empty;
    empty.flags = 0xFF;
    for (int n = 0; n < 200; ++n)
        PutRecord(image, n, empty);  // 16 bytes 0xFF, name 0xFF
    image[mem::kVhfRange] = 0x13;    // 136-174
    image[mem::kVhfRange + 1] = 0x17;
    image[mem::kVhfRange + 2] = 0x63;
    image[mem::kUhfRange] = 0x40;  // 400-480
    image[mem::kUhfRange + 1] = 0x47;
    image[mem::kUhfRange + 2] = 0x09;
    image[mem::kRadioType] = 1;
    image[mem::kBandIndex] = 0;

    const std::vector<Channel> channels = {
        // Tones: none, listed CTCSS, listed DCS normal and inverted; power High; every name character class.
        {0, Rec(14512500, 14512500, 0xFF, 0xFF, 0x70, 0x06, 0x2E, {10, 11, 36, 38, 9, 0, 35})},
        {1, Rec(43999375, 44000000, 0x23, 0x80, 0x54, 0xC7, 0x1E, {35, 34, 33, 32, 31, 30, 29, 28})},
        // Unlisted CTCSS and DCS, Middle power, unlock, no scan, narrow, bits 7/6/0 and tail bytes set.
        {2, Rec(14600625, 14600750, 0x34, 0x12, 0x24, 0x80, 0xD1, {1, 2, 3}, {0x12, 0x34, 0x56})},
        // Low power, DCS with first digit 0 inverted, 254.1 Hz.
        {3, Rec(17399750, 13600000, 0x23, 0xC0, 0x41, 0x25, 0x0C, {}, {0x00, 0x00, 0x00})},
        // Power bits 11 (shown empty), "no tone" written with H 0x00.
        {4, Rec(15000000, 15000000, 0x12, 0x00, 0xFF, 0x00, 0x3A, {20, 21})},
        // Transmit frequency absent, with stray bytes below its 0xFF.
        {5, Rec(14400000, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x2E, {12})},
        // Name cut by the unused code 37 and by 0x40.
        {6, Rec(14500000, 14500000, 0x70, 0x06, 0x70, 0x06, 0x2E, {10, 37, 11, 12})},
        {7, Rec(14500000, 14500000, 0x70, 0x06, 0x70, 0x06, 0x2E, {13, 14, 0x40, 15})},
        // A name that ends and then holds stray codes.
        {8, Rec(14500000, 14500000, 0x70, 0x06, 0x70, 0x06, 0x2E, {16, 0xFF, 17, 18})},
        // The channel whose name shares its bytes with the selected band record.
        {106, Rec(46200000, 46712500, 0x00, 0x10, 0x23, 0x80, 0x2E, {24, 25, 26, 27, 28, 29})},
        {199, Rec(47975000, 47975000, 0x99, 0x18, 0x66, 0xC5, 0x2A, {36, 38, 36})},
    };
    for (const Channel& c : channels)
        PutRecord(image, c.n, c.fields);
    // Empty channels with stray bytes: byte 3 0x00, and byte 3 0xFF.
    for (int i = 0; i < 16; ++i)
        image[16 * 50 + i] = static_cast<std::uint8_t>(0x11 * (i % 15));
    image[16 * 50 + 3] = 0x00;
    for (int i = 0; i < 16; ++i)
        image[16 * 51 + i] = static_cast<std::uint8_t>(0x21 + i);
    image[16 * 51 + 3] = 0xFF;
    image[mem::kNameBase + 8 * 50] = 10;  // hidden name of an empty channel
    // Tx byte 7 of 0x00 is absent too.
    image[16 * 5 + 4] = 0x12;
    image[16 * 5 + 5] = 0x34;
    image[16 * 5 + 6] = 0x56;
    image[16 * 5 + 7] = 0xFF;
    PutRecord(image, 9, Rec(14500000, 0, 0x70, 0x06, 0x70, 0x06, 0x2E));
    image[16 * 9 + 4] = 0x25;
    image[16 * 9 + 7] = 0x00;

    // Digits above 9 in both frequencies and both tones, power bits 11.
    PutRecord(image, 10, Rec(14501000, 14501000, 0xAB, 0x12, 0xAB, 0x80, 0xFD, {10, 37, 11}));
    image[16 * 10 + 1] = 0x0A;
    image[16 * 10 + 5] = 0x0A;
    const Image expected = image;

    const QString in = env.Path("all-kinds.dat");
    QVERIFY(SaveDatFile(in.toStdString(), image).ok);
    ViewUnderTest t(in);
    QVERIFY(t.opened);
    QCOMPARE(t.Row(1),
             QStringList({"145.12500", "145.12500", "None", "67.0", "High", "Lock", "Yes", "Wide", "AB-_90Z"}));
    QCOMPARE(t.Row(3),
             QStringList({"146.00625", "146.00750", "123.4", "D024N", "Middle", "Unlock", "No", "Narrow", "123"}));
    QCOMPARE(t.Row(4), QStringList({"173.99750", "136.00000", "D023I", "254.1", "Low", "Lock", "Yes", "Narrow", ""}));
    QCOMPARE(t.Row(5)[4], QString());
    QCOMPARE(t.Row(51), QStringList(QVector<QString>(9)));
    QCOMPARE(t.Row(11), QStringList({"145.01000", "145.01000", "131.1", "D0111N", "", "Lock", "Yes", "Narrow", "A"}));

    // Every cell on show in every row, with Enter only; the last Enter wraps to row 1.
    t.Click(1, 1);
    for (int i = 0; i < 200 * 8; ++i)
        t.Enter();
    QCOMPARE(t.Grid().GetRow(), 1L);
    QCOMPARE(t.Grid().GetCol(), 1L);
    QVERIFY2(env.m_messages.isEmpty(), qPrintable(env.m_messages.value(0).text));

    const QString out = env.Path("all-kinds-saved.dat");
    QString error;
    QVERIFY2(t.doc.OnSaveDocument(out, &error), qPrintable(error));
    Image saved;
    QVERIFY(LoadDatFile(out.toStdString(), saved).ok);
    for (std::size_t i = 0; i < saved.size(); ++i)
        QVERIFY2(saved[i] == expected[i], qPrintable(QString("offset 0x%1: 0x%2, expected 0x%3")
                                                         .arg(i, 4, 16, QChar('0'))
                                                         .arg(saved[i], 2, 16, QChar('0'))
                                                         .arg(expected[i], 2, 16, QChar('0'))));
}

QTEST_MAIN(TestEditorRoundTrip)
#include "tst_editor_roundtrip.moc"
