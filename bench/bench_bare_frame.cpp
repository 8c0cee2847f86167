// The specified look built from Qt's stock widgets alone, for bench_startup: a
// maximized main window with the program's menus, toolbar, navigation tree,
// tiled MDI background, one document window (band boxes and a 201 x 8 table
// in Times New Roman holding the sample's channels) and status bar; no file,
// settings, translation, help or radio code. What the program takes beyond
// this is its own; what this takes beyond a bare window is the look's.
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QAbstractTableModel>
#include <QTableView>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "gui/app/FirstPaintMark.h"

namespace {

// The leanest table Qt offers for the grid: a view over a model of texts.
class CTexts : public QAbstractTableModel {
public:
    CTexts(int rows, QStringList headings) : m_headings(std::move(headings)), m_cells(rows * m_headings.size()) {}
    QString& Cell(int row, int col) { return m_cells[row * m_headings.size() + col]; }
    int rowCount(const QModelIndex&) const override { return int(m_cells.size() / m_headings.size()); }
    int columnCount(const QModelIndex&) const override { return int(m_headings.size()); }
    QVariant data(const QModelIndex& i, int role) const override
    {
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        return role == Qt::DisplayRole ? QVariant(m_cells[i.row() * m_headings.size() + i.column()]) : QVariant();
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        if (o == Qt::Horizontal)
            return m_headings.value(section);
        return section == 0 ? QStringLiteral("Pr") : QString::number(section);
    }

private:
    QStringList m_headings;
    QVector<QString> m_cells;
};

void AddMenus(QMainWindow& window)
{
    const struct {
        const char* title;
        int items;
    } menus[] = {{"&File", 14}, {"&Edit", 16}, {"&Program", 5}, {"&View", 3}, {"&Setup", 4}, {"&Help", 3}};
    for (const auto& m : menus) {
        QMenu* menu = window.menuBar()->addMenu(QString::fromLatin1(m.title));
        for (int i = 0; i < m.items; ++i)
            menu->addAction(QStringLiteral("Command %1...").arg(i + 1))->setStatusTip(QStringLiteral("What it does"));
    }
    QToolBar* bar = window.addToolBar(QStringLiteral("Standard"));
    // The program's own pictures, read as it reads them.
    for (const char* icon : {"new", "open", "save", "read", "write", "print", "about", "undo", "redo"})
        bar->addAction(QIcon(QStringLiteral(PROG_SOURCE_DIR "/res/icons/%1.png").arg(QLatin1String(icon))),
                       QStringLiteral("Command"));
}

QWidget* Document()
{
    auto* view = new QWidget;
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSize(9);
    view->setFont(font);
    auto* bands = new QHBoxLayout;
    for (const char* band : {"VHF:", "UHF:"}) {
        bands->addWidget(new QLabel(QString::fromLatin1(band)));
        bands->addWidget(new QLineEdit(QStringLiteral("130")));
        bands->addWidget(new QLabel(QStringLiteral("-")));
        bands->addWidget(new QLineEdit(QStringLiteral("180")));
    }
    bands->addStretch(1);

    // The sample's first channels; the rest of the 200 are empty, as there.
    const char* rows[][8] = {{"146.52000", "146.52000", "None", "None", "High", "Yes", "Wide", "CALL"},
                             {"147.33000", "147.93000", "None", "100.0", "High", "Yes", "Wide", "RPT-N"},
                             {"146.94000", "146.34000", "88.5", "88.5", "High", "Yes", "Wide", "RPT-S"},
                             {"145.23000", "144.63000", "None", "123.0", "Middle", "Yes", "Narrow", "WX-NET"},
                             {"146.55000", "146.55000", "None", "None", "Low", "No", "Wide", "SIMPLX"},
                             {"151.82000", "151.82000", "D023N", "D023N", "Middle", "Yes", "Narrow", "FARM"},
                             {"154.57000", "154.57000", "67.0", "67.0", "Low", "Yes", "Narrow", "MURS2"},
                             {"162.55000", "", "None", "None", "High", "No", "Wide", "NOAA"},
                             {"442.10000", "447.10000", "103.5", "103.5", "High", "Yes", "Wide", "UHF-RP"},
                             {"462.56250", "462.56250", "None", "141.3", "High", "Yes", "Narrow", "GMRS1"},
                             {"462.55000", "467.55000", "D754N", "67.0", "High", "Yes", "Wide", "GMRS-R"},
                             {"462.71250", "462.71250", "88.5", "88.5", "Low", "Yes", "Narrow", "FRS7"},
                             {"446.00000", "446.00000", "D411N", "D411N", "Middle", "Yes", "Narrow", "UHF-SX"},
                             {"433.50000", "433.50000", "D047I", "D023N", "High", "Yes", "Narrow", "DCS-X"}};
    auto* texts =
        new CTexts(201, {QStringLiteral("Rx Frequency"), QStringLiteral("Tx Frequency"), QStringLiteral("Rx Tone"),
                         QStringLiteral("Tx Tone"), QStringLiteral("Power"), QStringLiteral("Scan Add"),
                         QStringLiteral("Bandwidth"), QStringLiteral("Cha Name")});
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 8; ++c)
            texts->Cell(r, c) = QString::fromLatin1(rows[r % 14][c]);
    auto* table = new QTableView;
    table->setModel(texts);
    texts->setParent(table);
    table->setFont(font);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(24, 8, 24, 8);
    layout->addLayout(bands);
    layout->addWidget(table, 1);
    return view;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("TR-5 Programming Tool"));
    AddMenus(window);

    auto* central = new QWidget;
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* tree = new QTreeWidget;
    tree->setHeaderHidden(true);
    tree->setFixedWidth(180);
    QFont treeFont(QStringLiteral("Time New Roman"));
    treeFont.setPixelSize(14);
    tree->setFont(treeFont);
    auto* root = new QTreeWidgetItem(tree, {QStringLiteral("Tanager Radio Works")});
    for (const char* item : {"Channel Information", "Optional Features", "Product Information"})
        new QTreeWidgetItem(root, {QString::fromLatin1(item)});
    root->setExpanded(true);
    layout->addWidget(tree);

    auto* mdi = new QMdiArea;
    mdi->setBackground(QPixmap(QStringLiteral(PROG_SOURCE_DIR "/res/bitmaps/background137.png")));
    layout->addWidget(mdi, 1);
    window.setCentralWidget(central);
    QMdiSubWindow* child = mdi->addSubWindow(Document());
    child->setWindowTitle(QStringLiteral("sample.dat"));
    child->setGeometry(0, 0, 910, 530);

    window.statusBar()->addWidget(new QLabel(QStringLiteral("Ready")), 1);
    for (const char* text : {"Port: COM1 (/dev/ttyUSB0) - not present", "CAP", "NUM", "SCRL"})
        window.statusBar()->addPermanentWidget(new QLabel(QString::fromLatin1(text)));

    window.showMaximized();
    child->show();
    MarkFirstPaint(&window);
    return QApplication::exec();
}
