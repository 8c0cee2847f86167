// The channel window's editing commands on a document, a plain text grid and a
// plain selection: no widget, the same rules and undo steps as in the window.
#include <QUndoStack>
#include <QtTest>
#include <functional>
#include <memory>

#include "core/radio/Document.h"
#include "gui/editor/ChannelCommands.h"
#include "gui/radio/ProgramDoc.h"

namespace {

struct Selection : IGridSelection {
    std::set<int> rows{2};
    std::set<int> cols{kColRxFreq};
    int row = 2;
    int col = kColRxFreq;
    bool wholeRows = false;

    std::set<int> SelectedRows() const override { return rows; }
    std::set<int> SelectedCols() const override { return cols; }
    bool IsSelected(int r, int c) const override { return rows.count(r) && cols.count(c); }
    bool AreWholeRowsSelected() const override { return wholeRows; }
    bool HasRangeSelection() const override { return rows.size() * cols.size() > 1; }
    bool IsColumnShown(int c) const override { return c >= kColRxFreq && c != kColLock; }
    int CurrentRow() const override { return row; }
    int CurrentCol() const override { return col; }
    void SelectRange(int r, int c, int toRow, int toCol) override
    {
        row = r;
        col = c;
        rows.clear();
        cols.clear();
        for (int i = std::min(r, toRow); i <= std::max(r, toRow); ++i)
            rows.insert(i);
        for (int i = std::min(c, toCol); i <= std::max(c, toCol); ++i)
            cols.insert(i);
        wholeRows = false;
    }
    void SelectRows(const std::set<int>& selected) override
    {
        rows = selected;
        cols.clear();
        for (int c = kColRxFreq; c <= kColName; ++c)
            cols.insert(c);
        wholeRows = true;
        row = *rows.begin();
    }
};

// The grid texts the document's undo steps take, as the window's view keeps them.
struct WorkingCopy : CProgramDoc::IWorkingCopy {
    explicit WorkingCopy(const CProgramDoc& d) : doc(d) {}
    CEditSnapshot TakeSnapshot() const override { return CEditSnapshot(doc.GetImage(), grid, BandTexts{}); }
    void RestoreSnapshot(const CEditSnapshot& snapshot) override
    {
        Image image = snapshot.GetImage();
        BandTexts bands;
        snapshot.Restore(image, grid, bands);
    }
    void DecodeImage(Image& image) override { ranges = DecodeDocument(image, grid, false); }
    void CommitOpenEditor() override {}
    void EncodeImage(Image& image) override { EncodeDocument(ranges, grid, image); }

    const CProgramDoc& doc;
    CTextGrid grid;
    EditRanges ranges;
};

using Rx = std::vector<std::string>;

}  // namespace

class TestCommands : public QObject {
    Q_OBJECT

    CProgramDoc m_doc;
    WorkingCopy m_copy{m_doc};
    Selection m_sel;
    CChannelCommands m_cmd{&m_doc, m_copy.grid, m_sel};

    Rx Channels(int count = 5) const
    {
        Rx rx;
        for (int row = 2; row < 2 + count; ++row)
            rx.push_back(m_copy.grid.TextMatrix(row, kColRxFreq));
        return rx;
    }
    void Rows(std::set<int> rows) { m_sel.SelectRows(rows); }
    // The image holds what the grid shows (the records moved with their texts).
    bool ImageFollowsGrid() const
    {
        Image encoded = m_doc.GetImage();
        EncodeDocument(m_copy.ranges, m_copy.grid, encoded);
        return encoded == m_doc.GetImage();
    }

private slots:
    void init()
    {
        m_doc.SetReadOnly(false);
        m_doc.LoadImage(NewDocumentImage());
        m_doc.SetWorkingCopy(&m_copy);
        m_doc.DecodeImage();
        m_doc.ResetHistory();
        m_sel = Selection{};
        QVERIFY(m_cmd.Paste("145.00000\n146.00000\n147.00000\n148.00000\n", false, "").Empty());
        m_doc.EncodeImage();
        m_doc.ResetHistory();
    }

    // Each command is one undo step that moves the bytes with the texts, undo
    // brings both back, and a read-only document takes none of them.
    void commandsAreOneStepThroughTheDocument()
    {
        const Rx four{"145.00000", "146.00000", "147.00000", "148.00000", ""};
        struct Case {
            const char* name;
            std::function<void(TestCommands&)> run;
            Rx after;
            bool movesBytes = true;
        };
        const Case cases[] = {
            {"delete",
             [](TestCommands& t) {
                 t.Rows({3});
                 t.m_cmd.DeleteChannels();
             },
             {"145.00000", "147.00000", "148.00000", "", ""}},
            {"move up",
             [](TestCommands& t) {
                 t.Rows({4});
                 t.m_cmd.MoveChannels(-1);
             },
             {"145.00000", "147.00000", "146.00000", "148.00000", ""}},
            {"move down",
             [](TestCommands& t) {
                 t.Rows({2});
                 t.m_cmd.MoveChannels(+1);
             },
             {"146.00000", "145.00000", "147.00000", "148.00000", ""}},
            {"insert",
             [](TestCommands& t) {
                 t.Rows({3});
                 t.m_cmd.InsertChannels();
             },
             {"145.00000", "", "146.00000", "147.00000", "148.00000"}},
            {"clear channels",
             [](TestCommands& t) {
                 t.Rows({3});
                 t.m_cmd.ClearChannels();
             },
             {"145.00000", "", "147.00000", "148.00000", ""},
             false},
            {"sort",
             [](TestCommands& t) {
                 t.Rows({4});
                 t.m_cmd.MoveChannels(-1);
                 t.m_cmd.SortChannels(SortKey::RxFrequency);
             },
             four},
            {"fill series",
             [](TestCommands& t) {
                 t.m_sel.rows = {2, 3, 4, 5};
                 t.m_cmd.FillSeries(1250);
             },
             {"145.00000", "145.01250", "145.02500", "145.03750", ""},
             false},
            {"set cells",
             [](TestCommands& t) {
                 t.m_sel.rows = {3, 5};
                 t.m_cmd.SetSelectedCells(kColRxFreq, "150.00000");
             },
             {"145.00000", "150.00000", "147.00000", "150.00000", ""},
             false},
        };
        for (const Case& c : cases) {
            init();
            const Image before = m_doc.GetImage();
            m_doc.SetReadOnly(true, QStringLiteral("a transfer runs"));
            c.run(*this);
            QVERIFY2(Channels() == four && m_doc.GetImage() == before && m_doc.UndoStack()->count() == 0, c.name);
            m_doc.SetReadOnly(false);
            const int steps = std::string(c.name) == "sort" ? 2 : 1;  // the move, then the sort
            c.run(*this);
            QVERIFY2(Channels() == c.after, c.name);
            QVERIFY2(m_doc.UndoStack()->count() == steps && m_doc.IsModified(), c.name);
            // A row command moves the bytes with the texts; an entered text reaches the image when encoded.
            QVERIFY2(ImageFollowsGrid() == c.movesBytes, c.name);
            for (int i = 0; i < steps; ++i)
                m_doc.UndoStack()->undo();
            QVERIFY2(Channels() == four && m_doc.GetImage() == before && !m_doc.IsModified(), c.name);
        }
    }

    void refusalsAreToldAndTheRestEntered()
    {
        m_sel.rows = {6};
        const EditNotice notice = m_cmd.Paste("999.00000\n150.00000\n", false, "");
        QCOMPARE(Channels(6), (Rx{"145.00000", "146.00000", "147.00000", "148.00000", "", "150.00000"}));
        QVERIFY2(notice.text.startsWith(QStringLiteral("Not pasted: 1 cell")), qPrintable(notice.text));
        QVERIFY2(notice.detail.startsWith(QStringLiteral("Channel 5, Rx Frequency: \"999.00000\" is out of range")),
                 qPrintable(notice.detail));
        QCOMPARE(m_doc.UndoStack()->count(), 1);

        // One value goes into one column at a time.
        QVERIFY(!m_cmd.RefuseSeveralColumns({kColRxFreq, kColTxFreq}).Empty());
        QVERIFY(m_cmd.RefuseSeveralColumns({kColName}).Empty());
    }

    void findSelectsTheNextMatch()
    {
        QVERIFY(m_cmd.Find(QStringLiteral("147")).Empty());
        QCOMPARE(m_sel.row, 4);
        QVERIFY(m_cmd.Find(QStringLiteral("999")).text.contains(QStringLiteral("No channel matches")));
        QCOMPARE(m_sel.row, 4);
        QCOMPARE(m_doc.UndoStack()->count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestCommands)
#include "tst_commands.moc"
